#include "core/Queries.h"
#include "support/QtPrinters.h"
#include "core/Schema.h"
#include "identify/LichenSearch.h"
#include "lichens/LichenText.h"
#include "update/Reconcile.h"
#include "support/FileBytes.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

// Readable failure output for texts.

namespace {

// An empty database file; each test makes the tables of the layout it needs.
class Schema : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetMainDatabase(nullptr, nullptr);
    }
    // Opens the program's connection (and its main query) on the file.
    void Connect()
    {
        db.CloseHandle();
        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);
    }
    QStringList Columns(const QString& table)
    {
        QStringList names;
        for (const auto& row : db.Rows("SELECT name FROM pragma_table_info('" + table + "')"))
            names << row[0].toString();
        return names;
    }
    QString Definition(const QString& table)
    {
        return db.Scalar("SELECT sql FROM sqlite_schema WHERE name = '" + table + "'");
    }

    FixtureDb db{false};
    TSQLConnection connection;
    TSQLQuery query{&connection};
    const QStringList& messages = TestDialogs().Messages();
};

} // namespace

TEST_F(Schema, SubstancesWithUniqueAreRebuiltKeepingValuesByColumnName)
{
    db.Exec("CREATE TABLE Substances (Synonyms TEXT, name TEXT (100) UNIQUE, GroupName TEXT, "
            "C INTEGER, A INTEGER, Class TEXT, Obsolete TEXT)");
    db.Exec("INSERT INTO Substances VALUES ('parmelin', 'Atranorin', 'Depsides', 73, 75, 'Depside', 'x')");
    db.Exec("INSERT INTO Substances VALUES (NULL, 'Usnic acid', 'Dibenzofurans', 70, 71, NULL, 'y')");
    Connect();
    // An open result of the main query must not block the rebuild.
    RunQuery("SELECT * FROM Substances");

    EXPECT_TRUE(MigrateSubstances(connection));
    EXPECT_EQ(messages, QStringList({"Substance database structure being updated."}));
    EXPECT_EQ(Columns("Substances"), FixtureDb::SubstanceColumns());
    EXPECT_EQ(Columns("Substances"), SubstancesColumns);
    EXPECT_FALSE(Definition("Substances").contains("UNIQUE", Qt::CaseInsensitive));
    EXPECT_TRUE(Definition("SubstancesBackup").isEmpty());
    const auto rows = db.Rows("SELECT name, A, C, Synonyms, GroupName, Class, B, GLossID FROM Substances ORDER BY name");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toString(), "Atranorin");
    EXPECT_EQ(rows[0][1].toString(), "75");
    EXPECT_EQ(rows[0][2].toString(), "73");
    EXPECT_EQ(rows[0][3].toString(), "parmelin");
    EXPECT_EQ(rows[0][4].toString(), "Depsides");
    EXPECT_EQ(rows[0][5].toString(), "Depside");
    EXPECT_FALSE(rows[0][6].isValid());   // a column the old table lacked is NULL
    EXPECT_FALSE(rows[0][7].isValid());
    EXPECT_EQ(rows[1][0].toString(), "Usnic acid");
    EXPECT_EQ(rows[1][1].toString(), "71");

    // The next start finds the new layout and leaves it alone.
    TestDialogs().Reset();
    EXPECT_FALSE(MigrateSubstances(connection));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(db.Count("Substances"), 2);
    EXPECT_FALSE(DatabaseOutdated());
}

TEST_F(Schema, LichensWithUniqueKeepOneCopyOfEachRow)
{
    db.Exec("CREATE TABLE Lichens (Genus TEXT NOT NULL, Lichen TEXT NOT NULL, Substance TEXT NOT NULL, "
            "Id INTEGER UNIQUE)");
    db.Exec("INSERT INTO Lichens VALUES ('Evernia', 'Evernia prunastri', 'Atranorin', 1), "
            "('Evernia', 'Evernia prunastri', 'Atranorin', 2), ('Evernia', 'Evernia prunastri', 'Usnic acid', 3)");
    Connect();
    EXPECT_TRUE(MigrateLichens(connection));
    EXPECT_EQ(messages, QStringList({"Lichen database structure being updated."}));
    EXPECT_EQ(Columns("Lichens"), QStringList({"Lichen", "Substance", "Genus"}));
    EXPECT_FALSE(Definition("Lichens").contains("UNIQUE", Qt::CaseInsensitive));
    EXPECT_TRUE(Definition("Lichens").contains("NOT NULL"));
    EXPECT_TRUE(Definition("LichensBackup").isEmpty());
    const auto rows = db.Rows("SELECT Lichen, Substance, Genus FROM Lichens ORDER BY Substance");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toString(), "Evernia prunastri");
    EXPECT_EQ(rows[0][1].toString(), "Atranorin");
    EXPECT_EQ(rows[0][2].toString(), "Evernia");
    EXPECT_EQ(rows[1][1].toString(), "Usnic acid");
    TestDialogs().Reset();
    EXPECT_FALSE(MigrateLichens(connection));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Schema, OnlyTheUpperCaseWordTriggersARebuild)
{
    db.Exec("CREATE TABLE Substances (name TEXT unique, GroupName TEXT)");
    db.Exec("CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, Genus TEXT NOT NULL)");
    Connect();
    EXPECT_FALSE(MigrateSubstances(connection));
    EXPECT_FALSE(MigrateLichens(connection));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Columns("Substances"), QStringList({"name", "GroupName"}));
}

TEST_F(Schema, AFailedRebuildLeavesTheOldTable)
{
    db.Exec("CREATE TABLE Substances (name TEXT UNIQUE, A INTEGER, GroupName TEXT)");
    db.Exec("INSERT INTO Substances VALUES ('Atranorin', 75, 'Depsides')");
    // The view makes the final rename fail after the old table was dropped.
    db.Exec("CREATE VIEW Names AS SELECT name FROM Substances");
    db.Exec("CREATE TABLE Lichens (Lichen TEXT NOT NULL UNIQUE, Substance TEXT NOT NULL, Genus TEXT NOT NULL)");
    db.Exec("INSERT INTO Lichens VALUES ('Evernia prunastri', 'Atranorin', 'Evernia')");
    db.Exec("CREATE VIEW LichenNames AS SELECT Lichen FROM Lichens");
    Connect();
    EXPECT_THROW(MigrateSubstances(connection), EDatabaseError);
    EXPECT_THROW(MigrateLichens(connection), EDatabaseError);
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_TRUE(Definition("Substances").contains("UNIQUE"));
    EXPECT_EQ(db.Scalar("SELECT A FROM Substances WHERE name = 'Atranorin'"), "75");
    EXPECT_TRUE(Definition("SubstancesBackup").isEmpty());
    EXPECT_TRUE(Definition("Lichens").contains("UNIQUE"));
    EXPECT_EQ(db.Count("Lichens"), 1);
    EXPECT_TRUE(Definition("LichensBackup").isEmpty());
}

TEST_F(Schema, OutdatedCheck)
{
    Connect();
    EXPECT_TRUE(DatabaseOutdated());                 // no Substances table
    db.Exec("CREATE TABLE Substances (name TEXT, A INTEGER)");
    EXPECT_TRUE(DatabaseOutdated());                 // no GroupName column
    db.Exec("ALTER TABLE Substances ADD COLUMN GroupName TEXT");
    EXPECT_FALSE(DatabaseOutdated());                // empty but current
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(OutdatedDatabaseMessage, "Outdated database Quillaspore.db\r\nPlease update.");
}

TEST_F(Schema, LichenIndexIsCreatedOnceAndSurvivesARebuild)
{
    Connect();
    EXPECT_FALSE(EnsureLichenIndex(connection));     // no table: nothing to index
    db.Exec("CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, Genus TEXT NOT NULL UNIQUE)");
    db.Exec("CREATE TABLE Substances " + FixtureDb::SubstancesColumnsSql());
    EXPECT_TRUE(EnsureLichenIndex(connection));
    EXPECT_TRUE(EnsureLichenIndex(connection));
    EXPECT_TRUE(db.Scalar("SELECT sql FROM sqlite_schema WHERE type = 'index' AND name = 'LichensSubstanceLichen'")
                    .contains("Lichens(Substance COLLATE NOCASE, Lichen)"));
    EXPECT_TRUE(db.Scalar("SELECT sql FROM sqlite_schema WHERE type = 'index' AND name = 'LichensLichen'")
                    .contains("Lichens(Lichen)"));
    MigrateDatabase(connection);                     // rebuilds Lichens, which drops its indexes
    EXPECT_EQ(messages, QStringList({"Lichen database structure being updated."}));
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'LichensSubstanceLichen'"), "1");
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'LichensLichen'"), "1");
}

// A database of the previous version while another program holds its write
// lock: the index step goes on at once with the older index, and changes
// nothing, instead of waiting for the lock.
TEST_F(Schema, LichenIndexStepDoesNotWaitForAnotherProgramsLock)
{
    db.Exec("CREATE TABLE Substances " + FixtureDb::SubstancesColumnsSql());
    db.Exec("CREATE TABLE Lichens " + FixtureDb::LichensColumnsSql());
    db.InsertLichen("Parmelia sulcata", "Atranorin", "Parmelia");
    db.Exec("CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)");
    db.Exec("CREATE INDEX LichensLichen ON Lichens(Lichen)");
    db.CloseHandle();
    connection.Params = db.ConnectionParams() << "BusyTimeout=250";
    connection.Open();
    const QByteArray before = FileBytes(db.Path());
    const QString indexes =
        "SELECT group_concat(name) FROM (SELECT name FROM sqlite_schema WHERE type = 'index' ORDER BY name)";

    db.Exec("BEGIN IMMEDIATE");   // the other program's write lock
    // Counts every time the engine would wait for the lock (and does not).
    int waits = 0;
    sqlite3_busy_handler(
        connection.Handle(), [](void* count, int) { return ++*static_cast<int*>(count), 0; }, &waits);
    EXPECT_FALSE(EnsureLichenIndex(connection));
    EXPECT_EQ(waits, 0);
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_EQ(connection.BusyTimeout(), 250);   // the connection's own wait again
    EXPECT_EQ(db.Scalar(indexes), "LichensLichen,LichensSubstanceNoCase");
    db.Exec("ROLLBACK");
    EXPECT_EQ(FileBytes(db.Path()), before);

    // Without the lock the step replaces the older index.
    EXPECT_TRUE(EnsureLichenIndex(connection));
    EXPECT_EQ(db.Scalar(indexes), "LichensLichen,LichensSubstanceLichen");
}

TEST_F(Schema, LichenIndexesAreCreatedTogetherOrNotAtAll)
{
    db.Exec("CREATE TABLE Lichens " + FixtureDb::LichensColumnsSql());
    db.Exec("CREATE TABLE LichensLichen (x)");       // takes the second index's name
    Connect();
    const QString indexes = "SELECT group_concat(name) FROM sqlite_schema WHERE type = 'index'";
    EXPECT_FALSE(EnsureLichenIndex(connection));
    EXPECT_EQ(db.Scalar(indexes), "");               // the first one rolled back with it
    EXPECT_FALSE(connection.InTransaction());
    db.Exec("DROP TABLE LichensLichen");
    // Inside the caller's transaction: created there, the transaction stays open.
    connection.StartTransaction();
    EXPECT_TRUE(EnsureLichenIndex(connection));
    EXPECT_TRUE(connection.InTransaction());
    connection.Rollback();
    EXPECT_EQ(db.Scalar(indexes), "");
    EXPECT_TRUE(EnsureLichenIndex(connection));
    EXPECT_EQ(db.Scalar(indexes), "LichensSubstanceLichen,LichensLichen");
}

// Every statement of the program that reads Lichens returns the same rows in
// the same order with the lichen indexes as the statements of earlier
// versions did with the older single index: lichens and substances
// differing only in case, "%" and "_" in names.
TEST_F(Schema, LichenIndexesChangeNoResult)
{
    db.Exec("CREATE TABLE Lichens " + FixtureDb::LichensColumnsSql());
    const char* const rows[][3] = {
        {"Lb", "Atranorin", "Genb"},  {"lb", "atranorin", "genb"}, {"La", "Zeorin", "Gena"},
        {"La", "ATRANORIN", "Gena"},  {"L_c", "Wild%card", "Gen_c"}, {"LXc", "WildXcard", "GenXc"},
        {"L%d", "Under_score", "Gen%"}, {"Ölb", "Ölsäure", "Öl"},   {"ölb", "ölsäure", "öl"},
        {"Lb", "Zeorin", "Genb"},     {"Lb", "Atranorin", "Genb"}, {"Le ", "Trailing ", "Gene"},
        {"", "Empty lichen", ""},     {"Lz", "", "Genz"},          {"la", "Gyrophoric acid", "gena"},
        {"La", "atranorin", "Gena"},  {"Lb", "Gyrophoric acid", "Genb"},
    };
    for (const auto& r : rows)
        db.InsertLichen(r[0], r[1], r[2]);
    // The statement of earlier versions and the program's own.
    struct Statement { QString before, after; QVariantList params; };
    std::vector<Statement> statements = {
        {AllLichensSql, AllLichensSql, {}},
        {"select DISTINCT Genus from Lichens ORDER BY Genus", "select DISTINCT Genus from Lichens ORDER BY Genus", {}},
        {"SELECT Lichen, Substance FROM Lichens", LichenPairsSql, {}},
    };
    for (const char* text : {"lb", "L_c", "%b%", "%", "l%", "Ölb", "", "Le ", "atranorin", "%r%"}) {
        statements.push_back({LichenSearchSql, LichenSearchSql, {QStringLiteral("%") + text + QStringLiteral("%")}});
        statements.push_back({"SELECT DISTINCT Substance FROM Lichens WHERE Lichen LIKE ?1", LichenSubstancesSql, {text}});
        statements.push_back({"SELECT Substance FROM Lichens WHERE Lichen LIKE ?", LichenRowsSql, {text}});
        statements.push_back({"Select Lichen FROM Lichens WHERE Substance LIKE ?1 ORDER BY Lichen",
                              "Select Lichen FROM Lichens WHERE Substance LIKE ?1 ORDER BY Lichen", {text}});
        statements.push_back({"SELECT Lichen FROM Lichens WHERE Substance LIKE ?1",
                              LichensContainingAllStatement({text}, false).Sql, {text}});
        statements.push_back({"SELECT Count(*) FROM Lichens WHERE Lichen LIKE ?1 AND Substance LIKE ?2",
                              "SELECT Count(*) FROM Lichens WHERE Lichen LIKE ?1 AND Substance LIKE ?2", {text, "%a%"}});
    }
    auto results = [&](bool after) {
        std::vector<QStringList> out;
        TSQLQuery q(&connection);
        for (const Statement& st : statements) {
            q.Close();
            q.SQL = after ? st.after : st.before;
            q.Params = st.params;
            q.Open();
            QStringList lines;
            for (; !q.Eof(); q.Next()) {
                QStringList cells;
                for (int i = 0; i < q.FieldCount(); ++i)
                    cells << q.FieldByName(q.FieldNameAt(i)).AsString();
                lines << cells.join("|");
            }
            out.push_back(lines);
        }
        return out;
    };
    db.Exec("CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)");
    db.Exec("CREATE INDEX LichensLichen ON Lichens(Lichen)");
    Connect();
    const std::vector<QStringList> before = results(false);
    EXPECT_TRUE(EnsureLichenIndex(connection));
    // The older index is replaced, not kept beside the new ones.
    EXPECT_EQ(db.Scalar("SELECT group_concat(name) FROM (SELECT name FROM sqlite_schema WHERE type = 'index' ORDER BY name)"),
              "LichensLichen,LichensSubstanceLichen");
    Connect();
    const std::vector<QStringList> after = results(true);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << statements[i].after.toStdString() << " "
                                       << statements[i].params.value(0).toString().toStdString();
}
