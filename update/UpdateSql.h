#pragma once
// Database steps shared by the two updates.
#include "core/Queries.h"
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

class TSQLConnection;

// Runs `head` followed by as many "(?,?,...)" groups as the values fill,
// `columns` values per row, in statements of a bounded number of
// parameters. Runs inside the caller's transaction.
void InsertRows(TSQLConnection& connection, const QString& head, int columns,
                const QVariantList& values);

// An index made for a table (not one the engine makes for a constraint):
// its name and its CREATE statement as the schema stores it.
struct TIndexDefinition {
    QString Name;
    QString Create;
};
std::vector<TIndexDefinition> TableIndexes(TSQLConnection& connection, const QString& table);

// After a failed replacement of a table's rows: ends the transaction so that
// the table holds its old rows again. The engine or a rollback normally does
// that; only while a transaction stays open anyway are the `restore`
// statements (emptying the table and copying its backup back) run inside it
// and committed. False, with the engine's message in `error`, when the old
// rows could not be put back.
bool PutBackOldRows(TSQLConnection& connection, const QStringList& restore, QString& error);

// Column names of a table in definition order (empty when it does not exist).
QStringList TableColumns(TSQLConnection& connection, const QString& table);


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
