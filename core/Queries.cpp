#include "core/Queries.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"

namespace {

TSQLConnection* mainConnection = nullptr;
TSQLQuery* mainQuery = nullptr;

const QString SynonymLineStart = QStringLiteral("  (");

// LIKE compares ASCII letters without case; synonym items are compared the
// same way (AsciiLower).
bool SynonymListHasItem(const QString& synonyms, const QString& synonym)
{
    const QString wanted = AsciiLower(Trim(synonym));
    const QStringList items = synonyms.split(QStringLiteral(", "));
    for (const QString& item : items)
        if (AsciiLower(Trim(item)) == wanted)
            return true;
    return false;
}

void SelectByNameOnly(const QString& name)
{
    RunLookup(QStringLiteral("select * from Substances WHERE name LIKE ?1 ESCAPE '\\' LIMIT 1"),
              {LiteralLikePattern(name)});
}

} // namespace

void SetMainDatabase(TSQLConnection* connection, TSQLQuery* query)
{
    mainConnection = connection;
    mainQuery = query;
}

TSQLConnection& MainConnection()
{
    if (!mainConnection)
        throw EDatabaseError(QStringLiteral("No database connection"));
    return *mainConnection;
}

TSQLQuery& MainQuery()
{
    if (!mainQuery)
        throw EDatabaseError(QStringLiteral("No database query"));
    return *mainQuery;
}

void RunQuery(const QString& sql, const QVariantList& params)
{
    TSQLQuery& q = MainQuery();
    q.Close();
    q.SQL = sql;
    q.Params = params;
    q.Open();
}

void RunLookup(const QString& sql, const QVariantList& params)
{
    RunQuery(sql, params);
    MainQuery().EndStatement();
}

QString LiteralLikePattern(const QString& name)
{
    QString pattern = name;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    pattern.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    pattern.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return pattern;
}

QString GetFieldString(const QString& columnName)
{
    return MainQuery().FieldByName(columnName).AsString();
}

void SelectSubstanceByName(const QString& name)
{
    SelectByNameOnly(name);
    if (!GetFieldString(QStringLiteral("name")).isEmpty())
        return;
    if (!name.startsWith(SynonymLineStart))
        return;

    QString synonym = ReplaceAll(name, SynonymLineStart, QString());
    synonym.chop(1);
    // An empty synonym would match every synonym list; it names nothing.
    if (Trim(synonym).isEmpty())
        return;

    RunQuery(QStringLiteral("SELECT name, Synonyms FROM Substances WHERE Synonyms LIKE ?1"),
             {QStringLiteral("%") + synonym + QStringLiteral("%")});
    // A substance that lists the synonym as a whole item wins over one whose
    // synonyms merely contain its letters.
    QString firstPartial;
    QString whole;
    TSQLQuery& q = MainQuery();
    while (!q.Eof()) {
        const QString candidate = GetFieldString(QStringLiteral("name"));
        if (!candidate.isEmpty()) {
            if (SynonymListHasItem(GetFieldString(QStringLiteral("Synonyms")), synonym)) {
                whole = candidate;
                break;
            }
            if (firstPartial.isEmpty())
                firstPartial = candidate;
        }
        q.Next();
    }
    const QString target = whole.isEmpty() ? firstPartial : whole;
    if (target.isEmpty()) {
        ShowMessage(synonym + QStringLiteral(" not found..."));
        return;
    }
    ShowMessage(synonym + QStringLiteral(" found as Synonym of ") + target);
    SelectByNameOnly(target);
}

TSubstanceRecord ReadSubstanceRow()
{
    TSubstanceRecord record;
    record.name = Trim(GetFieldString(QStringLiteral("name")));
    for (int i = 1; i <= 20; ++i)
        record.SetByIndex(i, GetFieldString(ColumnNames[i]));
    return record;
}

bool RollbackQuietly(TSQLConnection& connection)
{
    // Whether ROLLBACK succeeds says nothing once the engine has ended the
    // transaction itself ("no transaction is active"); what counts is
    // whether one is still open.
    if (!connection.InTransaction())
        return true;
    try {
        connection.Rollback();
    } catch (const std::exception&) {
    }
    return !connection.InTransaction();
}

void ExecuteInTransaction(TSQLConnection& connection, const QStringList& statements)
{
    connection.StartTransaction();
    try {
        for (const QString& sql : statements)
            connection.ExecuteDirect(sql);
        connection.Commit();
    } catch (...) {
        RollbackQuietly(connection);
        throw;
    }
}
