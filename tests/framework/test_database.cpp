#include "framework/Database.h"
#include "support/FixtureDb.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"B", 73}, {"GLossID", "g1"}, {"Notes", QVariant()}});
        fx.InsertSubstance({{"name", "Usnic acid"}, {"A", 70}, {"Class", "Dibenzofuran"}});
        fx.InsertLichen("Cladonia arbuscula", "Usnic acid", "Cladonia");
        fx.CloseHandle();
        conn.Params = fx.ConnectionParams();
        conn.Open();
        query.SQLConnection = &conn;
    }
    void OpenQuery(const QString& sql)
    {
        query.SQL = sql;
        query.Open();
    }
    FixtureDb fx;
    TSQLConnection conn;
    TSQLQuery query;
};

TEST_F(DatabaseTest, WalksRowsAndReadsFieldsIgnoringAsciiCase)
{
    OpenQuery("SELECT name, A, GlossID, Notes FROM Substances ORDER BY name");
    ASSERT_TRUE(query.Active());
    ASSERT_FALSE(query.Eof());
    EXPECT_EQ(query.FieldByName("NAME").AsString(), "Atranorin");
    EXPECT_EQ(query.FieldByName("a").AsString(), "75");
    EXPECT_EQ(query.FieldByName("a").AsInteger(), 75);
    EXPECT_EQ(query.FieldByName("GLossID").AsString(), "g1");
    EXPECT_EQ(query.FieldByName("Notes").AsString(), "");    // NULL
    EXPECT_EQ(query.FieldByName("Notes").AsInteger(), 0);
    EXPECT_TRUE(query.FieldByName("Notes").IsNull());
    query.Next();
    ASSERT_FALSE(query.Eof());
    EXPECT_EQ(query.FieldByName("name").AsString(), "Usnic acid");
    EXPECT_EQ(query.FieldByName("GLOSSID").AsString(), "");
    query.Next();
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.FieldByName("name").AsString(), "");     // past the last row
    query.Next();                                             // stays at the end
    EXPECT_TRUE(query.Eof());
    query.First();
    EXPECT_EQ(query.FieldByName("name").AsString(), "Atranorin");
}

TEST_F(DatabaseTest, ExpressionColumnsAreReachableByPosition)
{
    OpenQuery("SELECT Count(*) FROM Substances");
    EXPECT_EQ(query.FieldByName("Column0").AsString(), "2");
    EXPECT_EQ(query.FieldByName("column0").AsInteger(), 2);
    OpenQuery("SELECT name, A * 2, 1.5, 0.1 + 0.2 FROM Substances WHERE A = 75");
    EXPECT_EQ(query.FieldByName("Column0").AsString(), "Atranorin");
    EXPECT_EQ(query.FieldByName("Column1").AsString(), "150");
    EXPECT_EQ(query.FieldByName("Column2").AsString(), "1.5");
    EXPECT_EQ(query.FieldByName("Column3").AsString(), "0.30000000000000004");
    EXPECT_THROW(query.FieldByName("Column4"), EFieldNotFound);
    EXPECT_THROW(query.FieldByName("Column01"), EFieldNotFound);
}

TEST_F(DatabaseTest, NoRowAndUnknownField)
{
    OpenQuery("SELECT name, A FROM Substances WHERE name = \"Nothing\"");   // double-quoted literal
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.FieldByName("name").AsString(), "");
    EXPECT_EQ(query.FieldByName("A").AsInteger(), 0);
    try {
        query.FieldByName("Genus");
        FAIL() << "no exception";
    } catch (const EFieldNotFound& e) {
        EXPECT_EQ(e.Message, "Field 'Genus' not found");
    }
}

TEST_F(DatabaseTest, ReopeningReplacesTheRowsAndErrorsCarryTheEngineMessage)
{
    OpenQuery("SELECT name FROM Substances ORDER BY name");
    OpenQuery("SELECT Lichen, Genus FROM Lichens");
    EXPECT_EQ(query.FieldCount(), 2);
    EXPECT_EQ(query.FieldByName("Genus").AsString(), "Cladonia");
    EXPECT_THROW(query.FieldByName("name"), EFieldNotFound);
    try {
        OpenQuery("SELECT nope FROM Substances");
        FAIL() << "no exception";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message.contains("no such column: nope")) << e.Message.toStdString();
    }
    EXPECT_FALSE(query.Active());
    EXPECT_TRUE(query.Eof());
    EXPECT_THROW(OpenQuery("SELECT * FROM Missing"), EDatabaseError);
}

TEST_F(DatabaseTest, ExecuteDirectRunsExactlyOneStatement)
{
    EXPECT_EQ(conn.ExecuteDirect("UPDATE Substances SET B = 1"), 2);
    EXPECT_EQ(conn.ExecuteDirect("CREATE TABLE T (x TEXT)  ;  -- done\n"), 0);
    EXPECT_EQ(conn.ExecuteDirect("INSERT INTO T VALUES (\"quoted\")"), 1);
    EXPECT_THROW(conn.ExecuteDirect("INSERT INTO T VALUES ('a'); INSERT INTO T VALUES ('b')"), EDatabaseError);
    EXPECT_THROW(conn.ExecuteDirect("DELETE FROM Nowhere"), EDatabaseError);
    EXPECT_THROW(conn.ExecuteDirect("   "), EDatabaseError);
    EXPECT_EQ(fx.Rows("SELECT x FROM T").size(), 1u);   // the two-statement text ran neither
    EXPECT_EQ(fx.Scalar("SELECT x FROM T"), "quoted");
    EXPECT_EQ(conn.ExecuteDirect("DELETE FROM T WHERE x = ?", {QString("quoted")}), 1);
    EXPECT_THROW(conn.ExecuteDirect("DELETE FROM T WHERE x = ?", {}), EDatabaseError);
}

TEST_F(DatabaseTest, BoundParametersKeepQuotesAndTypes)
{
    const QString tricky = "O'Brien \"x\"; DROP TABLE Lichens; --";
    conn.ExecuteDirect("INSERT INTO Lichens (Lichen, Substance, Genus) VALUES (?1, ?2, ?3)",
                       {tricky, QByteArray("Usnic acid"), QString("G")});
    query.SQL = "SELECT Lichen FROM Lichens WHERE Substance = ? AND Genus = ?";
    query.Params = {QString("Usnic acid"), QString("G")};
    query.Open();
    EXPECT_EQ(query.FieldByName("Lichen").AsString(), tricky);
    EXPECT_EQ(fx.Count("Lichens"), 2);
}

TEST_F(DatabaseTest, RollbackUndoesAndCommitKeeps)
{
    conn.StartTransaction();
    EXPECT_TRUE(conn.InTransaction());
    conn.ExecuteDirect("DELETE FROM Substances");
    conn.Rollback();
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(fx.Count("Substances"), 2);
    conn.StartTransaction();
    conn.ExecuteDirect("DELETE FROM Lichens");
    conn.Commit();
    EXPECT_EQ(fx.Count("Lichens"), 0);
}

TEST_F(DatabaseTest, CloseFinalisesQueriesAndReopens)
{
    OpenQuery("SELECT name FROM Substances");
    conn.Close();
    EXPECT_FALSE(conn.Connected());
    EXPECT_FALSE(query.Active());
    EXPECT_TRUE(query.Eof());
    conn.SetConnected(true);
    // The schema can change once the connection is reopened (no statement holds it).
    conn.ExecuteDirect("DROP TABLE IF EXISTS Lichens");
    OpenQuery("SELECT count(*) FROM sqlite_schema WHERE name = 'Lichens'");
    EXPECT_EQ(query.FieldByName("Column0").AsInteger(), 0);
}

TEST(DatabaseOpen, FailIfMissingNeverCreatesAFile)
{
    FixtureDb fx(false);
    const QString missing = QDir(fx.Dir()).filePath("absent.db");
    TSQLConnection conn;
    conn.Params = {"DriverName=Sqlite", "FailIfMissing=True", "Database=" + missing};
    EXPECT_THROW(conn.Open(), EDatabaseError);
    EXPECT_FALSE(conn.Connected());
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString created = QDir(fx.Dir()).filePath("new.db");
    TSQLConnection other;
    other.Params = {"Database=" + created};
    other.Open();
    EXPECT_TRUE(other.Connected());
    other.ExecuteDirect("CREATE TABLE x (y)");
    EXPECT_TRUE(QFileInfo::exists(created));
}

TEST(DatabaseOpen, QueryOutlivingItsConnectionIsHarmless)
{
    FixtureDb fx;
    auto conn = std::make_unique<TSQLConnection>();
    conn->Params = fx.ConnectionParams();
    TSQLQuery q(conn.get());
    q.SQL = "SELECT * FROM Substances";
    q.Open();
    EXPECT_EQ(q.FieldCount(), 33);
    EXPECT_EQ(q.FieldNameAt(32), "GLossID");
    conn.reset();
    EXPECT_FALSE(q.Active());
}

} // namespace

namespace {

// A statement left standing on a row keeps a read open, and the engine then
// refuses to change the schema even for its own connection. Ending it keeps
// the row readable, and a walk that goes on after it ends there.
TEST_F(DatabaseTest, AnEndedStatementKeepsItsRowAndNoLongerHoldsTheSchema)
{
    conn.ExecuteDirect("CREATE INDEX Held ON Lichens(Lichen)");
    OpenQuery("SELECT name, A, Notes, 1.5 AS Half, x'0041' AS Bytes FROM Substances ORDER BY name");
    ASSERT_FALSE(query.Eof());
    EXPECT_THROW(conn.ExecuteDirect("DROP INDEX Held"), EDatabaseError) << "the running statement holds it";

    query.EndStatement();
    conn.ExecuteDirect("DROP INDEX Held");
    EXPECT_FALSE(query.Eof());
    EXPECT_EQ(query.FieldByName("name").AsString(), "Atranorin");
    EXPECT_EQ(query.FieldByName("A").AsInteger(), 75);
    EXPECT_TRUE(query.FieldByName("Notes").IsNull());
    EXPECT_EQ(query.FieldByName("Half").AsFloat(), 1.5);
    EXPECT_EQ(query.FieldByName("Bytes").AsUtf8(), QByteArray("\0A", 2));
    query.EndStatement();   // twice is harmless
    EXPECT_EQ(query.FieldByName("name").AsString(), "Atranorin");
    query.Next();
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.FieldByName("name").AsString(), "");
    query.First();   // the statement runs again from its start
    EXPECT_EQ(query.FieldByName("name").AsString(), "Atranorin");
    query.Next();
    EXPECT_EQ(query.FieldByName("name").AsString(), "Usnic acid");
}

TEST_F(DatabaseTest, EndingTheRunningStatementsFreesTheSchemaForEveryQuery)
{
    TSQLQuery other(&conn);
    other.SQL = "SELECT Lichen FROM Lichens";
    other.Open();
    OpenQuery("SELECT Count(*) FROM Substances");
    TSQLQuery walked(&conn);   // walked to its end: holds nothing
    walked.SQL = "SELECT name FROM Substances";
    walked.Open();
    while (!walked.Eof()) walked.Next();

    conn.EndRunningStatements();
    conn.ExecuteDirect("DROP TABLE IF EXISTS SubstancesBackup");
    conn.ExecuteDirect("CREATE TABLE SubstancesBackup(name TEXT)");
    conn.ExecuteDirect("DROP TABLE SubstancesBackup");
    EXPECT_EQ(query.FieldByName("Column0").AsInteger(), 2);
    EXPECT_EQ(other.FieldByName("Lichen").AsString(), "Cladonia arbuscula");
    EXPECT_TRUE(walked.Eof());
}

} // namespace
