#include "core/Schema.h"
#include "core/Queries.h"
#include "framework/Dialogs.h"

#include <functional>

const QString SubstancesBackupCreateStatement = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS SubstancesBackup (name TEXT (100), A INTEGER, B INTEGER, "
    "Bprime INTEGER, C INTEGER, E INTEGER, F INTEGER, G INTEGER, HPLC INTEGER, BefVis TEXT (2), "
    "BefUVS TEXT (2), BefUVL TEXT (20), Archers TEXT (20), AftVis TEXT (20), AftUV TEXT (20), "
    "M INTEGER, F1 INTEGER, F2 INTEGER, F3 INTEGER, KResult TEXT (20), CResult TEXT (20), "
    "KCResult TEXT (20), PDResult TEXT (20), Cortex TEXT (20), Medulla TEXT (20), Notes TEXT, "
    "Related TEXT, Lichens TEXT, Synonyms TEXT, Path TEXT, GroupName TEXT, Class TEXT, "
    "GLossID TEXT default null)");

const QString LichensBackupCreateStatement = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS LichensBackup (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, "
    "Genus TEXT NOT NULL)");

const QStringList SubstancesColumns = {
    "name", "A", "B", "Bprime", "C", "E", "F", "G", "HPLC", "BefVis", "BefUVS", "BefUVL",
    "Archers", "AftVis", "AftUV", "M", "F1", "F2", "F3", "KResult", "CResult", "KCResult",
    "PDResult", "Cortex", "Medulla", "Notes", "Related", "Lichens", "Synonyms", "Path",
    "GroupName", "Class", "GLossID"};

const QStringList LichensColumns = {"Lichen", "Substance", "Genus"};

const QString OutdatedDatabaseMessage =
    QStringLiteral("Outdated database Quillaspore.db\r\nPlease update.");

namespace {

QString StoredDefinition(TSQLConnection& connection, const QString& table)
{
    TSQLQuery q(&connection);
    q.SQL = QStringLiteral("SELECT sql FROM sqlite_schema WHERE name = ?1");
    q.Params = {table};
    q.Open();
    return q.FieldByName(QStringLiteral("sql")).AsString();
}

QStringList TableColumns(TSQLConnection& connection, const QString& table)
{
    TSQLQuery q(&connection);
    q.SQL = QStringLiteral("SELECT name FROM pragma_table_info(?1)");
    q.Params = {table};
    q.Open();
    QStringList names;
    for (; !q.Eof(); q.Next())
        names << q.FieldByName(QStringLiteral("name")).AsString();
    return names;
}

// Ends every open statement, so no read keeps the tables locked.
void Reconnect(TSQLConnection& connection)
{
    connection.Close();
    connection.Open();
}

// The copy statement: the new table's columns that the old one has, by name;
// a new column it lacks gets `missing` (an SQL expression), or is left out
// when `missing` is empty (its default then applies).
QString CopyStatement(const QString& target, const QString& source, const QStringList& newColumns,
                      const QStringList& oldColumns, const QString& missing, bool distinct)
{
    QStringList into, select;
    for (const QString& column : newColumns) {
        const bool present = oldColumns.contains(column, Qt::CaseInsensitive);
        if (!present && missing.isEmpty())
            continue;
        into << column;
        select << (present ? QStringLiteral("\"") + column + QStringLiteral("\"") : missing);
    }
    return QStringLiteral("INSERT INTO ") + target + QStringLiteral("(") + into.join(", ") +
           QStringLiteral(") SELECT ") + (distinct ? QStringLiteral("DISTINCT ") : QString()) +
           select.join(", ") + QStringLiteral(" FROM ") + source;
}

bool HasCommonColumn(const QStringList& newColumns, const QStringList& oldColumns)
{
    for (const QString& column : newColumns)
        if (oldColumns.contains(column, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

bool MigrateSubstances(TSQLConnection& connection)
{
    if (!StoredDefinition(connection, QStringLiteral("Substances")).contains(QStringLiteral("UNIQUE")))
        return false;
    const QStringList oldColumns = TableColumns(connection, QStringLiteral("Substances"));
    if (!HasCommonColumn(SubstancesColumns, oldColumns))
        return false;
    ShowMessage(QStringLiteral("Substance database structure being updated."));
    Reconnect(connection);
    ExecuteInTransaction(connection, {
        QStringLiteral("DROP TABLE IF EXISTS SubstancesBackup"),
        SubstancesBackupCreateStatement,
        CopyStatement(QStringLiteral("SubstancesBackup"), QStringLiteral("Substances"),
                      SubstancesColumns, oldColumns, QStringLiteral("NULL"), false),
        QStringLiteral("DROP TABLE IF EXISTS Substances"),
        QStringLiteral("ALTER TABLE SubstancesBackup RENAME TO Substances"),
    });
    return true;
}

bool MigrateLichens(TSQLConnection& connection)
{
    if (!StoredDefinition(connection, QStringLiteral("Lichens")).contains(QStringLiteral("UNIQUE")))
        return false;
    const QStringList oldColumns = TableColumns(connection, QStringLiteral("Lichens"));
    if (!HasCommonColumn(LichensColumns, oldColumns))
        return false;
    ShowMessage(QStringLiteral("Lichen database structure being updated."));
    Reconnect(connection);
    // The columns are NOT NULL, so a column the old table lacks is filled
    // with empty text.
    ExecuteInTransaction(connection, {
        QStringLiteral("DROP TABLE IF EXISTS LichensBackup"),
        LichensBackupCreateStatement,
        CopyStatement(QStringLiteral("LichensBackup"), QStringLiteral("Lichens"), LichensColumns,
                      oldColumns, QStringLiteral("''"), true),
        QStringLiteral("DROP TABLE IF EXISTS Lichens"),
        QStringLiteral("ALTER TABLE LichensBackup RENAME TO Lichens"),
    });
    return true;
}

const QStringList LichenIndexStatements = {
    QStringLiteral("CREATE INDEX IF NOT EXISTS LichensSubstanceLichen ON Lichens(Substance COLLATE NOCASE, Lichen)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS LichensLichen ON Lichens(Lichen)"),
};

// Earlier versions indexed the substance alone; the index with the lichen
// beside it serves every statement that one served.
const QStringList ReplacedLichenIndexNames = {
    QStringLiteral("LichensSubstanceNoCase"),
};

namespace {
QStringList ReplacedLichenIndexStatements()
{
    QStringList statements;
    for (const QString& name : ReplacedLichenIndexNames)
        statements << QStringLiteral("DROP INDEX IF EXISTS ") + name;
    return statements;
}
}

namespace {
// While it lives, a statement that meets another program's lock fails at
// once instead of waiting for it; the connection's own time-out comes back
// after.
class TNoWaitForLocks {
public:
    explicit TNoWaitForLocks(TSQLConnection& connection)
        : connection(connection), before(connection.BusyTimeout())
    {
        connection.SetBusyTimeout(0);
    }
    ~TNoWaitForLocks() { connection.SetBusyTimeout(before); }
    TNoWaitForLocks(const TNoWaitForLocks&) = delete;
    TNoWaitForLocks& operator=(const TNoWaitForLocks&) = delete;

private:
    TSQLConnection& connection;
    int before;
};
}

bool EnsureLichenIndex(TSQLConnection& connection)
{
    // The program works with the indexes there are; a wait for another
    // program's lock would only delay the start for an index the next start
    // or the lichen update makes all the same.
    const TNoWaitForLocks noWait(connection);
    try {
        if (TableColumns(connection, QStringLiteral("Lichens")).isEmpty())
            return false;
        const QStringList statements = ReplacedLichenIndexStatements() + LichenIndexStatements;
        if (connection.InTransaction()) {
            for (const QString& sql : statements)
                connection.ExecuteDirect(sql);
        } else {
            ExecuteInTransaction(connection, statements);
        }
        return true;
    } catch (const EDatabaseError&) {
        // A read-only or locked file: the program works without the index.
        return false;
    }
}

void CheckDatabaseReadable(TSQLConnection& connection, const QString& fileName)
{
    const QString head = QStringLiteral("Unable to read the database ") + fileName + QStringLiteral("\r\n");
    QStringList problems;
    try {
        TSQLQuery q(&connection);
        // Reads only. Reading the schema tells a file that is no database.
        // The substance table is what the start-up reads and what a damaged
        // file would otherwise be taken for an old layout by; the far larger
        // lichen table is left to the statements that read it, so the start
        // stays quick on a large database. A file without the table is left
        // to the outdated-database check.
        q.SQL = QStringLiteral("SELECT count(*) AS n FROM sqlite_schema "
                               "WHERE type = 'table' AND name = 'Substances' COLLATE NOCASE");
        q.Open();
        const bool hasSubstances = q.FieldByName(QStringLiteral("n")).AsInteger() > 0;
        q.Close();
        if (!hasSubstances) return;
        q.SQL = QStringLiteral("PRAGMA quick_check(Substances)");
        q.Open();
        for (; !q.Eof(); q.Next())
            problems << q.FieldByName(QStringLiteral("quick_check")).AsString();
    } catch (const EDatabaseError& e) {
        throw EDatabaseError(head + e.Message);
    }
    if (problems != QStringList{QStringLiteral("ok")})
        throw EDatabaseError(head + problems.join(QStringLiteral("\r\n")));
}

namespace {

// Reads Substances.GroupName as the main query's searches do, by `lookup`;
// true when that fails (no table, or an older layout without the column).
bool SubstancesOutdated(const std::function<void(const QString& sql)>& lookup)
{
    try {
        lookup(QStringLiteral("Select GroupName from Substances WHERE GroupName LIKE 'Void'"));
        return false;
    } catch (const Exception&) {
        return true;
    }
}

} // namespace

void MigrateDatabase(TSQLConnection& connection)
{
    // A rebuilt Substances has every column of the program's layout, so the
    // rebuild makes the database current; it changes nothing when it does
    // not happen.
    MigrateSubstances(connection);
    // A database that is still too old is refused by the start-up: it must
    // keep the bytes it came with, so neither table nor index is touched.
    const bool outdated = SubstancesOutdated([&connection](const QString& sql) {
        TSQLQuery q(&connection);
        q.SQL = sql;
        q.Open();
    });
    if (outdated)
        return;
    MigrateLichens(connection);
    EnsureLichenIndex(connection);
}

bool DatabaseOutdated()
{
    return SubstancesOutdated([](const QString& sql) { RunLookup(sql); });
}
