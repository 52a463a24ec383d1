#pragma once
// Lets GoogleTest print Qt texts in failure messages as text, not bytes.
#include <QString>
#include <QStringList>
#include <ostream>

void PrintTo(const QString& s, std::ostream* os);
void PrintTo(const QStringList& list, std::ostream* os);
