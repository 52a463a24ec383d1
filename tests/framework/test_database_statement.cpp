// A statement prepared once and run many times, and the failure of a
// statement on a database another connection holds.
#include "framework/Database.h"
#include "support/FixtureDb.h"

#include <gtest/gtest.h>

namespace {

class StatementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.InsertLichen("Old", "Old", "Old");
        fx.CloseHandle();
        conn.Params = fx.ConnectionParams();
        conn.Params << "BusyTimeout=50";
        conn.Open();
    }
    FixtureDb fx;
    TSQLConnection conn;
};

TEST_F(StatementTest, RunsAgainWithNewValuesAndReportsFailures)
{
    conn.ExecuteDirect("CREATE TRIGGER Refuse BEFORE INSERT ON Lichens WHEN NEW.Lichen = 'Bad' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    TSQLStatement insert(conn, "INSERT INTO Lichens(Lichen,Substance,Genus) VALUES (?1,?2,?3)");
    const QByteArray rows[][3] = {{"Usnea hirta", "usnic acid", "Usnea"},
                                  {"Z\xC3\xA9orin lichen", "z\xC3\xA9orin", "Z"},
                                  {"Bad", "x", "y"},
                                  {"Lecanora", "", "Lecanora"}};
    int changed = 0;
    for (const auto& row : rows) {
        insert.BindText(1, row[0]);
        insert.BindText(2, row[1]);
        insert.BindText(3, row[2]);
        try {
            changed += insert.Execute();
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, "refused");
        }
    }
    EXPECT_EQ(changed, 3);
    insert.Bind({QString("Cladonia"), QString("atranorin"), QString("Cladonia")});
    EXPECT_EQ(insert.Execute(), 1);

    TSQLQuery query(&conn);
    query.SQL = "SELECT group_concat(Lichen || '/' || Substance, '|') FROM Lichens";
    query.Open();
    EXPECT_EQ(query.FieldByName("Column0").AsString(),
              QString::fromUtf8("Old/Old|Usnea hirta/usnic acid|Z\xC3\xA9orin lichen/z\xC3\xA9orin|Lecanora/|"
                                "Cladonia/atranorin"));
    EXPECT_THROW(TSQLStatement(conn, "INSERT INTO Nowhere VALUES (1)"), EDatabaseError);
}

// A lock held by another connection is its own kind of failure.
TEST_F(StatementTest, ALockHeldElsewhereRaisesTheLockedError)
{
    for (const char* lock : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) {
        SCOPED_TRACE(lock);
        fx.Exec(lock);
        EXPECT_THROW(conn.ExecuteDirect("DELETE FROM Lichens"), EDatabaseLocked);
        fx.Exec("ROLLBACK");
    }
    fx.CloseHandle();
    EXPECT_EQ(conn.ExecuteDirect("DELETE FROM Lichens"), 1);
    try {
        conn.ExecuteDirect("INSERT INTO Nowhere VALUES (1)");
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseLocked&) {
        ADD_FAILURE() << "not a lock";
    } catch (const EDatabaseError&) {
    }
}

} // namespace
