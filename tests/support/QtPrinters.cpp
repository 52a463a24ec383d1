#include "support/QtPrinters.h"

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

void PrintTo(const QStringList& list, std::ostream* os) { *os << '[' << list.join("|").toStdString() << ']'; }
