#pragma once
// Database steps shared by the two updates.
#include "core/Queries.h"
#include <QString>
#include <QStringList>
#include <QVariantList>

class TSQLConnection;

// Runs `head` followed by as many "(?,?,...)" groups as the values fill,
// `columns` values per row, in statements of a bounded number of
// parameters. Runs inside the caller's transaction.
void InsertRows(TSQLConnection& connection, const QString& head, int columns,
                const QVariantList& values);

// Column names of a table in definition order (empty when it does not exist).
QStringList TableColumns(TSQLConnection& connection, const QString& table);

// Lower case of the ASCII letters only, as the engine's LIKE compares them.
QString AsciiLower(const QString& s);

// Marks an update as running for its lifetime; Acquired() is false when
// another update already runs.
class TUpdateRunGuard {
public:
    TUpdateRunGuard();
    ~TUpdateRunGuard();
    TUpdateRunGuard(const TUpdateRunGuard&) = delete;
    TUpdateRunGuard& operator=(const TUpdateRunGuard&) = delete;
    bool Acquired() const { return acquired; }
private:
    bool acquired = false;
};
