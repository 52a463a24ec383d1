#pragma once
// The query helpers. All reads go through the main window's one query object
// over its one connection; the main window registers them at start-up, tests
// register their own.
#include "core/Record.h"
#include "framework/Database.h"

void SetMainDatabase(TSQLConnection* connection, TSQLQuery* query);
TSQLConnection& MainConnection();  // raises EDatabaseError when none is set
TSQLQuery& MainQuery();

// Sets the text (and bound parameters) of the main query, opens it and
// stands on its first row. Raises the database layer's exception.
void RunQuery(const QString& sql, const QVariantList& params = {});
// RunQuery for a look-up that reads only the first row: the statement is
// ended at once, so no read stays open on the file after the command; the
// row stays readable.
void RunLookup(const QString& sql, const QVariantList& params = {});
// The name as a LIKE pattern (with ESCAPE '\') that matches only itself,
// ASCII case aside: "%" and "_" in a stored name are letters of the name.
QString LiteralLikePattern(const QString& name);
// A column of the current row as text; "" for NULL or no row.
QString GetFieldString(const QString& columnName);
// Leaves the main query on the substance found by name (ASCII case aside,
// "%" and "_" taken literally) or synonym line.
void SelectSubstanceByName(const QString& name);
// The current row as a record (name trimmed, fields 1..20).
TSubstanceRecord ReadSubstanceRow();

// Ends a failed transaction: rolls it back when it is still open (the engine
// has already rolled it back itself after some failures, such as a
// trigger's RAISE(ROLLBACK), a full disk or an I/O error). True when no
// transaction is open afterwards, so the tables hold their last committed
// rows; false when one stays open and uncommitted changes may be pending.
bool RollbackQuietly(TSQLConnection& connection);
// Runs `statements` in one transaction; on failure rolls back and rethrows
// the statement's own error.
void ExecuteInTransaction(TSQLConnection& connection, const QStringList& statements);
