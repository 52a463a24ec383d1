// The lichen-search statements: names bound, LIKE kept, the exact form.
#include "identify/LichenSearch.h"

#include "core/Queries.h"
#include "framework/Database.h"
#include "support/FixtureDb.h"

#include <gtest/gtest.h>

namespace {

TEST(LichenSearchStatement, BindsEveryNameAndJoinsTheParts)
{
    const TLichenStatement one = LichensContainingAllStatement({"Atranorin"}, false);
    EXPECT_EQ(one.Sql, "SELECT Lichen FROM Lichens WHERE Substance LIKE ?1");
    EXPECT_EQ(one.Params, QVariantList({"Atranorin"}));
    const TLichenStatement two = LichensContainingAllStatement({"a\"b", "c"}, true);
    EXPECT_EQ(two.Sql, "SELECT Lichen FROM Lichens WHERE Substance LIKE ?1 INTERSECT "
                       "SELECT Lichen FROM Lichens WHERE Substance LIKE ?2 EXCEPT SELECT Lichen FROM Lichens "
                       "WHERE Substance NOT LIKE ?1 AND Substance NOT LIKE ?2");
    EXPECT_EQ(two.Params, QVariantList({"a\"b", "c"}));
    EXPECT_TRUE(LichensContainingAllStatement({}, true).Sql.isEmpty());
}

TEST(LichenSearchQuery, FindsAndCountsOnARealDatabase)
{
    FixtureDb db;
    db.InsertLichen("L1", "Atranorin", "G");
    db.InsertLichen("L1", "Zeorin", "G");
    db.InsertLichen("L2", "atranorin", "G");
    db.InsertLichen("L3", "Name", "G");
    db.CloseHandle();
    TSQLConnection connection;
    connection.Params = db.ConnectionParams();
    connection.Open();
    TSQLQuery query(&connection);
    SetMainDatabase(&connection, &query);

    QStringList inexact = FindLichensContainingAll({"ATRANORIN"}, false);
    inexact.sort();
    EXPECT_EQ(inexact, QStringList({"L1", "L2"}));
    EXPECT_EQ(FindLichensContainingAll({"Atranorin"}, true), QStringList({"L2"}));
    EXPECT_EQ(FindLichensContainingAll({"Atranorin", "Zeorin"}, true), QStringList({"L1"}));
    EXPECT_EQ(CountLichensContaining("Atranorin"), 2);
    EXPECT_EQ(CountLichensContaining("Substance"), 0);   // a column name matches no row
    EXPECT_EQ(CountLichensContaining("say \"x\""), 0);
    EXPECT_EQ(CountLichensContaining("Atra%"), 2);       // LIKE's wildcard stays
    SetMainDatabase(nullptr, nullptr);
}

} // namespace
