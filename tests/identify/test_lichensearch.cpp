// The lichen-search statements: names bound, LIKE kept, the exact form, the
// one statement for any number of names against the compound one it
// replaces, every way of starting from one rare name, and the last search
// kept while the database is unchanged.
#include "identify/LichenSearch.h"

#include "core/Queries.h"
#include "core/Schema.h"
#include "framework/Database.h"
#include "support/FixtureDb.h"

#include <gtest/gtest.h>
#include <random>

namespace {

TEST(LichenSearchStatement, BindsEveryNameAndJoinsTheParts)
{
    const TLichenStatement one = LichensContainingAllStatement({"Atranorin"}, false);
    EXPECT_EQ(one.Sql, "SELECT Lichen FROM Lichens WHERE Substance LIKE ?1 ORDER BY Substance COLLATE NOCASE, rowid");
    // Read from the table in stored order, as the engine read it before.
    EXPECT_EQ(LichensContainingAllStatement({"%acid"}, false).Sql,
              "SELECT Lichen FROM Lichens WHERE Substance LIKE ?1 ORDER BY rowid");
    EXPECT_EQ(one.Params, QVariantList({"Atranorin"}));
    const TLichenStatement two = CompoundLichensStatement({"a\"b", "c"}, true);
    EXPECT_EQ(two.Sql, "SELECT Lichen FROM Lichens WHERE Substance LIKE ?1 INTERSECT "
                       "SELECT Lichen FROM Lichens WHERE Substance LIKE ?2 EXCEPT SELECT Lichen FROM Lichens "
                       "WHERE Substance NOT LIKE ?1 AND Substance NOT LIKE ?2");
    EXPECT_EQ(two.Params, QVariantList({"a\"b", "c"}));
    // Any number of names: the same statement with one array of names.
    const TLichenStatement many = LichensContainingAllStatement({"a\"b", "c", "d"}, true);
    EXPECT_EQ(many.Sql, LichensContainingAllStatement({"x", "y"}, true).Sql);
    EXPECT_EQ(many.Params, QVariantList({"[\"a\\\"b\",\"c\",\"d\"]", 3}));
    EXPECT_TRUE(LichensContainingAllStatement({}, true).Sql.isEmpty());
    EXPECT_TRUE(CompoundLichensStatement({}, true).Sql.isEmpty());
}

// One name, inexact: the rows of the compound statement, in the order of the
// older index (which the schema tests hold the statement to); the lichens
// are compared here.
QStringList Comparable(QStringList lichens, const QStringList& names, bool exact)
{
    if (names.size() == 1 && !exact)
        lichens.sort();
    return lichens;
}

class LichenSearchTest : public ::testing::Test {
protected:
    void Open()
    {
        db.CloseHandle();
        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);
    }
    void TearDown() override { SetMainDatabase(nullptr, nullptr); }

    QStringList Rows(const TLichenStatement& s)
    {
        QStringList rows;
        RunQuery(s.Sql, s.Params);
        for (TSQLQuery& q = MainQuery(); !q.Eof(); q.Next())
            rows << q.FieldByName("Lichen").AsString();
        return rows;
    }

    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
};

TEST_F(LichenSearchTest, FindsAndCountsOnARealDatabase)
{
    db.InsertLichen("L1", "Atranorin", "G");
    db.InsertLichen("L1", "Zeorin", "G");
    db.InsertLichen("L2", "atranorin", "G");
    db.InsertLichen("L3", "Name", "G");
    Open();

    QStringList inexact = FindLichensContainingAll({"ATRANORIN"}, false);
    inexact.sort();
    EXPECT_EQ(inexact, QStringList({"L1", "L2"}));
    EXPECT_EQ(FindLichensContainingAll({"Atranorin"}, true), QStringList({"L2"}));
    EXPECT_EQ(FindLichensContainingAll({"Atranorin", "Zeorin"}, true), QStringList({"L1"}));
    EXPECT_EQ(CountLichensContaining("Atranorin"), 2);
    EXPECT_EQ(CountLichensContaining("Substance"), 0);   // a column name matches no row
    EXPECT_EQ(CountLichensContaining("say \"x\""), 0);
    EXPECT_EQ(CountLichensContaining("Atra%"), 2);       // LIKE's wildcard stays
}

TEST_F(LichenSearchTest, OneStatementGivesTheLichensOfTheCompoundStatementInItsOrder)
{
    // Lichen names differing only in case are different lichens; substance
    // names in other case, with "%" and "_" (also leading), a lichen listing
    // a substance twice, non-ASCII letters that LIKE compares exactly.
    const char* const rows[][2] = {
        {"Lb", "Atranorin"},      {"Lb", "Zeorin"},        {"lb", "ATRANORIN"},     {"lb", "zeorin"},
        {"La", "atranorin"},      {"La", "Atranorin"},     {"La", "Gyrophoric acid"},
        {"Lc", "Wild%card"},      {"Lc", "Zeorin"},        {"Ld", "WildXYZcard"},   {"Ld", "Zeorin"},
        {"Le", "Under_score"},    {"Le", "Atranorin"},     {"Lf", "UnderXscore"},   {"Lf", "atranorin"},
        {"Lg", "Ölsäure"},        {"Lg", "Zeorin"},        {"Lh", "ölsäure"},       {"Lh", "Zeorin"},
        {"Li", "_eading"},        {"Li", "Leading"},       {"Lj", "Zeorin"},        {"Lk", "Atranorin"},
        {"Lk", "Zeorin"},         {"Lk", "Usnic acid"},    {"Ll", "Usnic acid"},    {"Ll", "Atranorin"},
        {"Lm", "Atranorin "},     {"Lm", "Zeorin"},        {"Ln", "Gyrophoric acid"}, {"Ln", "Zeorin"},
    };
    for (const auto& r : rows)
        db.InsertLichen(r[0], r[1], "G");
    Open();

    const QStringList selections[] = {
        {"Atranorin"}, {"atranorin"}, {"Zeorin"}, {"Ölsäure"}, {"ÖLSÄURE"}, {"Wild%card"}, {"Under_score"},
        {"_eading"}, {"Nothing"}, {"Atranorin", "Zeorin"}, {"ATRANORIN", "zeorin"},
        {"Atranorin", "Atranorin"}, {"Atranorin", "atranorin", "Zeorin"}, {"Wild%card", "Zeorin"},
        {"Under_score", "Atranorin"}, {"Ölsäure", "Zeorin"}, {"%", "Zeorin"}, {"_eading", "Leading"},
        {"Atranorin", "Zeorin", "Usnic acid"}, {"Atranorin", "Gyrophoric acid"}, {"Zeorin", "Nothing"},
        {"%", "_%"},
    };
    for (const QStringList& names : selections)
        for (bool exact : {false, true}) {
            const QStringList expected = Rows(CompoundLichensStatement(names, exact));
            EXPECT_EQ(Rows(LichensContainingAllStatement(names, exact)), expected)
                << names.join(" | ").toStdString() << (exact ? " exact" : " inexact");
            EXPECT_EQ(FindLichensContainingAll(names, exact), expected);
        }
    // The rules at work: ASCII case ignored, wildcards kept, exact.
    EXPECT_EQ(FindLichensContainingAll({"Atranorin", "Zeorin"}, false), QStringList({"Lb", "Lk", "lb"}));
    EXPECT_EQ(FindLichensContainingAll({"Atranorin", "Zeorin"}, true), QStringList({"Lb", "lb"}));
    EXPECT_EQ(FindLichensContainingAll({"Wild%card", "Zeorin"}, true), QStringList({"Lc", "Ld"}));
    EXPECT_EQ(FindLichensContainingAll({"Ölsäure", "zeorin"}, false), QStringList({"Lg"}));
}

// A generated table where a few substances are common and most are rare.
// Every way of starting from one plain name (with or without a next name read
// as a set, the rest checked lichen by lichen) gives the compound statement's
// lichens, and so does the search with the plan it makes for itself; with and
// without the lichen indexes. Wildcard names (also leading), names without
// rows, the same name twice or in other case, lichens listing a substance
// twice and lichen names differing only in case are among them.
TEST_F(LichenSearchTest, EveryPlanGivesTheLichensOfTheCompoundStatement)
{
    std::mt19937 rng(5);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    QStringList substances = {"Common acid", "Usual acid", "Frequent acid"};
    for (int i = 0; i < 30; ++i)
        substances << QStringLiteral("Rare%1 acid").arg(i);
    db.Exec("BEGIN");
    for (int k = 0; k < 120; ++k) {
        const QString lichen = (k % 7 == 3 ? QStringLiteral("lichen %1") : QStringLiteral("Lichen %1")).arg(k / 2);
        const int percent[] = {60, 35, 20};
        for (int c = 0; c < 3; ++c)
            if (pick(100) < percent[c])
                db.InsertLichen(lichen, pick(4) ? substances[c] : substances[c].toUpper(), "G");
        for (int r = pick(4); r > 0; --r)
            db.InsertLichen(lichen, substances[3 + pick(30)], "G");
        if (k % 11 == 0)
            db.InsertLichen(lichen, "Rare7 acid", "G");   // again: listed twice
        if (k % 40 == 0) {
            db.InsertLichen(lichen, "Scarce acid", "G");
            db.InsertLichen(lichen, "Common acid", "G");
        }
    }
    db.InsertLichen("Lichen 1", "Rare%x acid", "G");   // a stored "%"
    db.Exec("COMMIT");
    Open();

    const QStringList pool = {"Common acid", "COMMON ACID", "Usual acid", "Frequent acid", "Rare1 acid",
                              "Rare7 acid", "rare12 ACID", "Rare25 acid", "Rare2_ acid", "_are3 acid",
                              "Rare%acid", "Common%", "Nothing acid", "Rare%x acid", "Scarce acid"};
    for (const bool indexed : {false, true}) {
        if (indexed)
            EnsureLichenIndex(connection);
        for (int n = 0; n < 60; ++n) {
            QStringList names;
            for (int size = 1 + pick(5); names.size() < size;)
                names << pool[pick(int(pool.size()))];
            for (const bool exact : {false, true}) {
                const QStringList expected = Rows(CompoundLichensStatement(names, exact));
                const std::string what = names.join(" | ").toStdString() + (exact ? " exact" : " inexact") +
                                         (indexed ? " indexed" : "");
                EXPECT_EQ(Comparable(FindLichensContainingAll(names, exact), names, exact),
                          Comparable(expected, names, exact)) << what;
                // Starting from any name (a wildcard one too), the others
                // checked in either order.
                for (int a = 0; a < names.size(); ++a)
                    for (const bool reversed : {false, true}) {
                        TLichenSearchPlan plan{a, {}};
                        for (int c = 0; c < names.size(); ++c)
                            if (c != a)
                                reversed ? plan.Checked.prepend(c) : plan.Checked.append(c);
                        EXPECT_EQ(Comparable(Rows(LichensContainingAllStatement(names, exact, plan)), names, exact),
                                  Comparable(expected, names, exact))
                            << what << " from " << a << (reversed ? " reversed" : "");
                    }
            }
        }
    }
    // A scarce name with a common one: the search starts from the scarce one.
    const QStringList names = {"Common acid", "Scarce acid"};
    const TLichenSearchPlan plan = PlanLichenSearch(names);
    EXPECT_EQ(plan.Lightest, 1);
    EXPECT_EQ(plan.Checked, QList<int>({0}));
    // Plain names by their rows, fewest first, then the wildcard ones in list
    // order; a case twin once.
    const TLichenSearchPlan mixed =
        PlanLichenSearch({"Rare%acid", "Common acid", "_are3 acid", "Usual acid", "COMMON ACID", "Scarce acid"});
    EXPECT_EQ(mixed.Lightest, 5);
    EXPECT_EQ(mixed.Checked, QList<int>({3, 1, 0, 2}));
    EXPECT_EQ(PlanLichenSearch({"Rare%acid", "_are3 acid"}).Lightest, -1);   // wildcard names only
    const QStringList both = Rows(CompoundLichensStatement(names, false));
    EXPECT_FALSE(both.isEmpty());
    EXPECT_EQ(FindLichensContainingAll(names, false), both);
}

// Small tables of the shapes the search meets: many lichens with a few rows
// each, a few lichens with many rows each (the common substances listed many
// times in every lichen), and the portal's spread (most lichens small, a few
// large). On each, a table of selections gives the compound statement's
// lichens in both modes: common and rare names, names without rows, "%" and
// "_" (also leading), ASCII-case twins, the same name twice.
TEST_F(LichenSearchTest, EveryShapeGivesTheLichensOfTheCompoundStatement)
{
    const QStringList common = {"Common acid", "Usual acid", "Frequent acid"};
    struct TShape {
        const char* Name;
        int Lichens;
        int MinRows, MaxRows;   // rows a lichen, before the long tail
        int CommonPercent;      // of a lichen's rows naming a common substance
        int TailPercent;        // of the lichens with ten times the rows
    };
    const TShape shapes[] = {
        {"many small lichens", 150, 1, 6, 15, 0},
        {"few large lichens", 6, 60, 90, 40, 0},
        {"portal-like", 60, 1, 8, 10, 10},
    };
    const QStringList selections[] = {
        {"Common acid", "Usual acid"},
        {"Common acid", "Usual acid", "Frequent acid"},
        {"Common acid", "Usual acid", "Frequent acid", "Rare3 acid", "Rare4 acid"},
        {"COMMON ACID", "common acid", "Usual acid"},
        {"Usual acid", "Usual acid"},
        {"Common acid", "Rare1 acid", "Rare2 acid", "Rare3 acid", "Rare4 acid"},
        {"Common acid", "Usual acid", "_sual acid"},
        {"Common acid", "Usual acid", "Rare_ acid"},
        {"Common%", "Usual acid"},
        {"Rare%", "Frequent acid", "%"},
        {"Common acid", "Nothing acid"},
        {"Rare5 acid"},
        {"rare5 ACID", "Rare5 acid"},
    };
    for (const TShape& shape : shapes) {
        db.Exec("DELETE FROM Lichens");
        std::mt19937 rng(11);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        db.Exec("BEGIN");
        for (int k = 0; k < shape.Lichens; ++k) {
            const QString lichen = (k % 5 == 2 ? QStringLiteral("lichen %1") : QStringLiteral("Lichen %1")).arg(k / 2);
            int rows = shape.MinRows + pick(shape.MaxRows - shape.MinRows + 1);
            if (pick(100) < shape.TailPercent)
                rows *= 10;
            for (int r = 0; r < rows; ++r) {
                QString substance = pick(100) < shape.CommonPercent ? common[pick(3)]
                                                                     : QStringLiteral("Rare%1 acid").arg(pick(12));
                if (pick(6) == 0)
                    substance = substance.toUpper();
                db.InsertLichen(lichen, substance, "G");
            }
        }
        db.Exec("COMMIT");
        Open();
        EnsureLichenIndex(connection);
        for (const QStringList& names : selections)
            for (const bool exact : {false, true}) {
                const QStringList expected = Rows(CompoundLichensStatement(names, exact));
                EXPECT_EQ(Comparable(FindLichensContainingAll(names, exact), names, exact),
                          Comparable(expected, names, exact))
                    << shape.Name << ": " << names.join(" | ").toStdString() << (exact ? " exact" : " inexact");
            }
        connection.Close();
    }
}

// The rarest name is found among names with many rows; a name's rows are
// counted once while the database is unchanged (the names join a selection
// one at a time), and again after a change.
TEST_F(LichenSearchTest, TheRarestNameIsFoundAndEachNameCountedOnce)
{
    db.Exec("BEGIN");
    for (int k = 0; k < 6000; ++k) {
        const QString lichen = QStringLiteral("Lichen %1").arg(k);
        db.InsertLichen(lichen, "Common acid", "G");
        if (k < 4500 || k % 2)
            db.InsertLichen(lichen, "Usual acid", "G");
        if (k % 3 == 0)
            db.InsertLichen(lichen, "Frequent acid", "G");
    }
    db.Exec("COMMIT");
    Open();
    EnsureLichenIndex(connection);
    const QStringList names = {"Common acid", "Usual acid", "Frequent acid"};
    const TLichenSearchPlan plan = PlanLichenSearch(names);
    EXPECT_EQ(plan.Lightest, 2);
    EXPECT_EQ(plan.Checked, QList<int>({1, 0}));   // 5,250 rows before 6,000
    EXPECT_EQ(PlanLichenSearch({"Common acid", "Usual acid"}).Lightest, 1);
    for (const bool exact : {false, true})
        EXPECT_EQ(FindLichensContainingAll(names, exact), Rows(CompoundLichensStatement(names, exact)));

    // Through the program's connection: Frequent acid is now the commonest.
    connection.ExecuteDirect("INSERT INTO Lichens SELECT Lichen, 'FREQUENT ACID', Genus FROM Lichens "
                             "WHERE Substance = 'Common acid'");
    EXPECT_EQ(PlanLichenSearch(names).Lightest, 1);
    EXPECT_EQ(PlanLichenSearch({"frequent ACID", "Common acid"}).Lightest, 1);   // 6,000 before 8,000
    for (const bool exact : {false, true})
        EXPECT_EQ(FindLichensContainingAll(names, exact), Rows(CompoundLichensStatement(names, exact)));
}

// 1,200 selected substances: beyond the compound statement's limits, the
// search still finds the lichens holding all of them.
TEST_F(LichenSearchTest, TwelveHundredSelectedNames)
{
    QStringList names;
    for (int i = 0; i < 1200; ++i)
        names << QStringLiteral("Substance %1").arg(i);
    db.Exec("BEGIN");
    for (int i = 0; i < 1200; ++i) {
        db.InsertLichen("All of them", names[i].toUpper(), "G");
        db.InsertLichen("All and one more", names[i], "G");
        if (i != 700)
            db.InsertLichen("All but one", names[i], "G");
    }
    db.InsertLichen("All and one more", "Other", "G");
    db.InsertLichen("Wildly all", "Substance %", "G");   // "%" in the name
    db.Exec("COMMIT");
    Open();

    EXPECT_THROW(Rows(CompoundLichensStatement(names, false)), EDatabaseError);   // the old limit
    EXPECT_EQ(FindLichensContainingAll(names, false), QStringList({"All and one more", "All of them"}));
    EXPECT_EQ(FindLichensContainingAll(names, true), QStringList({"All of them"}));
    names << "Substance \\%";
    EXPECT_EQ(FindLichensContainingAll(names, false), QStringList());
    names.last() = "Substance _%";   // a wildcard name: LIKE, among 1,200 others
    EXPECT_EQ(FindLichensContainingAll(names, false), QStringList({"All and one more", "All of them"}));
    EXPECT_EQ(FindLichensContainingAll(names, true), QStringList({"All of them"}));
}

TEST_F(LichenSearchTest, TheLastSearchIsKeptUntilTheDatabaseChanges)
{
    db.InsertLichen("L1", "Atranorin", "G");
    db.InsertLichen("L1", "Zeorin", "G");
    Open();
    const QStringList names = {"Atranorin", "Zeorin"};
    EXPECT_EQ(FindLichensContainingAll(names, false), QStringList({"L1"}));
    // A change through the program's own connection.
    connection.ExecuteDirect("INSERT INTO Lichens VALUES ('L2', 'atranorin', 'G'), ('L2', 'zeorin', 'G')");
    EXPECT_EQ(FindLichensContainingAll(names, false), QStringList({"L1", "L2"}));
    // A change by another program.
    db.InsertLichen("L3", "Atranorin", "G");
    db.InsertLichen("L3", "ZEORIN", "G");
    db.CloseHandle();
    EXPECT_EQ(FindLichensContainingAll(names, false), QStringList({"L1", "L2", "L3"}));
    EXPECT_EQ(FindLichensContainingAll(names, true), QStringList({"L1", "L2", "L3"}));
    EXPECT_EQ(FindLichensContainingAll({"Zeorin", "Atranorin"}, false), QStringList({"L1", "L2", "L3"}));
    db.InsertLichen("L3", "Usnic acid", "G");
    db.CloseHandle();
    EXPECT_EQ(FindLichensContainingAll({"Zeorin", "Atranorin"}, true), QStringList({"L1", "L2"}));
}

} // namespace
