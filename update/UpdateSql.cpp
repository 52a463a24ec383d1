#include "update/UpdateSql.h"
#include "update/UpdateProgress.h"
#include "framework/Database.h"
#include "framework/Text.h"
#include <algorithm>

namespace {
// Well below the engine's limit on bound parameters, and small enough that
// preparing one statement stays cheap.
constexpr int MaxParamsPerStatement = 900;
bool UpdateRunning = false;
}

void InsertRows(TSQLConnection& connection, const QString& head, int columns,
                const QVariantList& values)
{
    if (columns <= 0 || values.isEmpty())
        return;
    const int rows = int(values.size()) / columns;
    const int rowsPerStatement = std::max(1, MaxParamsPerStatement / columns);
    QString group = "(";
    for (int c = 0; c < columns; ++c)
        group += c == 0 ? "?" : ",?";
    group += ")";

    QString fullSql;
    int fullRows = 0;
    for (int first = 0; first < rows; first += rowsPerStatement) {
        const int count = std::min(rowsPerStatement, rows - first);
        if (count != fullRows) {
            fullSql = head;
            fullSql.reserve(head.size() + count * (group.size() + 1));
            for (int r = 0; r < count; ++r) {
                if (r)
                    fullSql += ',';
                fullSql += group;
            }
            fullRows = count;
        }
        connection.ExecuteDirect(fullSql, values.mid(first * columns, count * columns));
    }
}

std::vector<TIndexDefinition> TableIndexes(TSQLConnection& connection, const QString& table)
{
    TSQLQuery query(&connection);
    query.SQL = "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE "
                "AND sql IS NOT NULL ORDER BY rowid";
    query.Params = {table};
    query.Open();
    std::vector<TIndexDefinition> indexes;
    for (; !query.Eof(); query.Next())
        indexes.push_back({query.FieldByName("name").AsString(), query.FieldByName("sql").AsString()});
    query.Close();
    return indexes;
}

bool PutBackOldRows(TSQLConnection& connection, const QStringList& restore, QString& error)
{
    if (RollbackQuietly(connection))
        return true;
    try {
        for (const QString& sql : restore)
            connection.ExecuteDirect(sql);
        connection.Commit();
        return true;
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
        RollbackQuietly(connection);
        return false;
    }
}

QStringList TableColumns(TSQLConnection& connection, const QString& table)
{
    TSQLQuery query(&connection);
    query.SQL = "SELECT name FROM pragma_table_info(?1)";
    query.Params = {table};
    query.Open();
    QStringList names;
    for (; !query.Eof(); query.Next())
        names << query.FieldByName("name").AsString();
    query.Close();
    return names;
}

TUpdateRunGuard::TUpdateRunGuard()
{
    if (!UpdateRunning) {
        UpdateRunning = true;
        acquired = true;
    }
}

TUpdateRunGuard::~TUpdateRunGuard()
{
    if (acquired)
        UpdateRunning = false;
}

bool UpdateIsRunning() { return UpdateRunning; }

bool IsCompleteAnswer(const QByteArray& answer)
{
    const QByteArray trimmed = TrimAnsi(answer);
    return answer != "Error" && (trimmed.endsWith('}') || trimmed.endsWith(']'));
}
