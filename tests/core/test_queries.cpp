#include "core/Queries.h"
#include "support/QtPrinters.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"
#include <gtest/gtest.h>

// Readable failure output for texts.

namespace {

class Queries : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Table order matters: the substring match would take the first row.
        db.InsertSubstance({{"name", "Alectorialic acid"}, {"A", 30},
                            {"Synonyms", "parmelinic form, barbatolic acid"}});
        db.InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"Bprime", 67}, {"C", 73},
                            {"BefUVS", "+"}, {"BefUVL", " Yellow "}, {"KResult", "Yellow"},
                            {"Medulla", "White"}, {"Notes", "n"}, {"Class", "Depside"},
                            {"Synonyms", "atranorine, parmelin"}});
        db.InsertSubstance({{"name", "  Usnic acid "}, {"A", 70}, {"Synonyms", "usninic acid"}});
        db.InsertSubstance({{"name", "3\"-Quoted acid"}, {"C", 12}});
        db.CloseHandle();
        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);
    }
    void TearDown() override
    {
        SetMainDatabase(nullptr, nullptr);
    }

    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
    const QStringList& messages = TestDialogs().Messages();
};

} // namespace

TEST_F(Queries, RunQueryStandsOnTheFirstRowAndBindsValues)
{
    RunQuery("SELECT name, A FROM Substances WHERE A > ?1 ORDER BY A", {60});
    EXPECT_EQ(GetFieldString("A"), "70");
    EXPECT_EQ(GetFieldString("NAME"), "  Usnic acid ");
    MainQuery().Next();
    EXPECT_EQ(GetFieldString("name"), "Atranorin");
    MainQuery().Next();
    EXPECT_TRUE(MainQuery().Eof());
    EXPECT_EQ(GetFieldString("name"), "");
    EXPECT_THROW(GetFieldString("NoSuchColumn"), EFieldNotFound);
    EXPECT_THROW(RunQuery("SELECT nothing FROM Nowhere"), EDatabaseError);
    EXPECT_EQ(&MainConnection(), &connection);
}

TEST(QueriesWithoutDatabase, RaiseInsteadOfCrashing)
{
    SetMainDatabase(nullptr, nullptr);
    EXPECT_THROW(MainConnection(), EDatabaseError);
    EXPECT_THROW(MainQuery(), EDatabaseError);
    EXPECT_THROW(RunQuery("SELECT 1"), EDatabaseError);
}

TEST_F(Queries, SelectSubstanceByName)
{
    struct Case { QString input; QString found; QStringList shown; } cases[] = {
        {"Atranorin", "Atranorin", {}},
        {"aTRANORIN", "Atranorin", {}},
        {"3\"-Quoted acid", "3\"-Quoted acid", {}},
        {"Atra%", "", {}},   // a name, not a pattern
        {"name", "", {}},
        {"Nothing like it", "", {}},
        // A whole synonym item wins over a mere substring in an earlier row.
        {"  (parmelin)", "Atranorin", {"parmelin found as Synonym of Atranorin"}},
        {"  (PARMELIN)", "Atranorin", {"PARMELIN found as Synonym of Atranorin"}},
        // No whole item: the substring match decides.
        {"  (usnin)", "  Usnic acid ", {"usnin found as Synonym of   Usnic acid "}},
        {"  (nothing)", "", {"nothing not found..."}},
        {"  (a\"b)", "", {"a\"b not found..."}},
        {"  (", "", {}},
        {"  ()", "", {}},
    };
    for (const Case& c : cases) {
        TestDialogs().Reset();
        SelectSubstanceByName(c.input);
        EXPECT_EQ(GetFieldString("name"), c.found) << c.input.toStdString();
        EXPECT_EQ(MainQuery().Eof(), c.found.isEmpty()) << c.input.toStdString();
        EXPECT_EQ(messages, c.shown) << c.input.toStdString();
    }
}

// A name saved with "_" or "%" opens as itself, not as the first name the
// letters would match as a pattern; ASCII case is still ignored.
TEST_F(Queries, NamesWithWildcardLettersAreReadAsThemselves)
{
    for (const char* name : {"Usnic acid", "Usnic_acid", "Usnic%", "Back\\slash"})
        connection.ExecuteDirect("INSERT INTO Substances(name, A) VALUES (?1, ?2)", {name, int(strlen(name))});
    struct Case { const char* input; const char* found; } cases[] = {
        {"Usnic_acid", "Usnic_acid"},
        {"USNIC_ACID", "Usnic_acid"},
        {"Usnic acid", "Usnic acid"},
        {"Usnic%", "Usnic%"},
        {"Usnic_", ""},
        {"Back\\slash", "Back\\slash"},
        {"Back\\Slash", "Back\\slash"},
    };
    for (const Case& c : cases) {
        SelectSubstanceByName(c.input);
        EXPECT_EQ(GetFieldString("name"), c.found) << c.input;
        if (*c.found) {
            EXPECT_EQ(GetFieldString("A"), QString::number(strlen(c.found))) << c.input;
        }
    }
}

TEST_F(Queries, SynonymLineLeavesTheQueryOnTheWholeRow)
{
    SelectSubstanceByName("  (atranorine)");
    const TSubstanceRecord r = ReadSubstanceRow();
    EXPECT_EQ(r.name, "Atranorin");
    EXPECT_EQ(r.A, "75");
    EXPECT_EQ(messages, QStringList({"atranorine found as Synonym of Atranorin"}));
}

TEST_F(Queries, ReadSubstanceRowTrimsOnlyTheName)
{
    SelectSubstanceByName("Atranorin");
    TSubstanceRecord r = ReadSubstanceRow();
    EXPECT_EQ(r.name, "Atranorin");
    EXPECT_EQ(r.A, "75");
    EXPECT_EQ(r.Bprime, "67");
    EXPECT_EQ(r.C, "73");
    EXPECT_TRUE(r.B.isEmpty());
    EXPECT_EQ(r.SolventValue(2), 0);
    EXPECT_EQ(r.BefUVS, "+");
    EXPECT_EQ(r.BefUVL, " Yellow ");
    EXPECT_EQ(r.KResult, "Yellow");
    EXPECT_EQ(r.Medulla, "White");
    for (int i = 21; i <= 30; ++i)
        EXPECT_TRUE(r.Field(i).isEmpty()) << i;   // Notes, Class and Synonyms are not read
    EXPECT_EQ(r.MatchScore, 0.0f);

    SelectSubstanceByName("  usnic ACID ");
    EXPECT_EQ(ReadSubstanceRow().name, "Usnic acid");

    SelectSubstanceByName("nothing");
    r = ReadSubstanceRow();
    for (int i = 0; i < FieldCount; ++i)
        EXPECT_TRUE(r.Field(i).isEmpty()) << i;
}

// After a failed statement inside a transaction the tables must hold their
// committed rows, whether the engine ended the transaction itself or the
// rollback did; a ROLLBACK that fails because the engine got there first is
// no reason to think otherwise.
TEST_F(Queries, RollbackQuietlyTellsWhetherTheCommittedRowsAreBack)
{
    struct Case {
        const char* title;
        const char* trigger;   // raised by the insert of "New"
    };
    const Case cases[] = {
        {"statement rolled back, transaction still open", "RAISE(ABORT, 'refused')"},
        {"engine ended the transaction", "RAISE(ROLLBACK, 'refused')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        connection.ExecuteDirect("DROP TRIGGER IF EXISTS Refuse");
        connection.ExecuteDirect(QString("CREATE TRIGGER Refuse BEFORE INSERT ON Substances WHEN NEW.name = 'New' "
                                         "BEGIN SELECT %1; END").arg(c.trigger));
        connection.StartTransaction();
        connection.ExecuteDirect("DELETE FROM Substances");
        EXPECT_THROW(connection.ExecuteDirect("INSERT INTO Substances (name) VALUES ('New')"), EDatabaseError);
        EXPECT_TRUE(RollbackQuietly(connection));
        EXPECT_FALSE(connection.InTransaction());
        RunQuery("SELECT count(*) FROM Substances");
        EXPECT_EQ(GetFieldString("Column0"), "4");

        // The same through the helper: the statement's own error comes out.
        try {
            ExecuteInTransaction(connection, {"DELETE FROM Substances",
                                              "INSERT INTO Substances (name) VALUES ('New')"});
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, "refused");
        }
        EXPECT_FALSE(connection.InTransaction());
        RunQuery("SELECT count(*) FROM Substances");
        EXPECT_EQ(GetFieldString("Column0"), "4");
    }
    EXPECT_TRUE(RollbackQuietly(connection)) << "nothing open: nothing pending";
}
