#include "core/Queries.h"
#include "support/QtPrinters.h"
#include "core/Schema.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"
#include <gtest/gtest.h>

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
    EXPECT_TRUE(db.Scalar("SELECT sql FROM sqlite_schema WHERE type = 'index' AND name = 'LichensSubstanceNoCase'")
                    .contains("Substance COLLATE NOCASE"));
    MigrateDatabase(connection);                     // rebuilds Lichens, which drops its index
    EXPECT_EQ(messages, QStringList({"Lichen database structure being updated."}));
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'LichensSubstanceNoCase'"), "1");
}
