// The substance browser's window-free parts: synonym lines, glossary image
// addresses, the save statement and its bound writing, the page addresses.
#include "core/Queries.h"
#include "support/QtPrinters.h"
#include "core/Record.h"
#include "core/Settings.h"
#include "framework/Database.h"
#include "substances/GlossaryImages.h"
#include "substances/SubstanceSql.h"
#include "support/FixtureDb.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {


TEST(SubstanceSql, SynonymLinesListEveryNonEmptySynonym)
{
    const struct { QString synonyms; QStringList lines; } cases[] = {
        {"", {}},
        {"ab", {"  (ab)"}},
        {"alpha, beta", {"  (alpha)", "  (beta)"}},
        {"alpha, ab", {"  (alpha)", "  (ab)"}},           // a short last one too
        {" alpha , beta, ", {"  (alpha)", "  (beta)"}},    // trimmed, no empty line
        {"alpha, , beta", {"  (alpha)", "  (beta)"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SynonymLines(c.synonyms), c.lines) << c.synonyms.toStdString();
}

TEST(SubstanceSql, GlossaryImageAddressesOnePerAddress)
{
    const struct { QByteArray page; QStringList addresses; } cases[] = {
        {"<p>none here</p>", {}},
        {"<img src=\"http://p/a.jpg\">\n<img src=\"http://p/b.jpg\">", {"http://p/a.jpg", "http://p/b.jpg"}},
        {"<img src=\"http://p/a.jpg\"><img src='https://p/b.jpg'>", {"http://p/a.jpg", "https://p/b.jpg"}},
        {"http://p/a.jpg http://p/b.jpg", {"http://p/a.jpg", "http://p/b.jpg"}},
        {"http://p/a.jpghttp://p/b.jpg", {"http://p/a.jpg", "http://p/b.jpg"}},
        {"http://p/jpgs/a.jpg", {"http://p/jpgs/a.jpg"}},
        {"http://p/a.JPG\nhttp://p/b.jpeg", {}},
        {"<a href=\"http://p/page.php\">x</a> http://p/c.jpg", {"http://p/c.jpg"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GlossaryImageAddresses(c.page), c.addresses) << c.page.toStdString();
}

TEST(SubstanceSql, AddressesEncodeTheirValues)
{
    PortalBaseAddress = "http://portal.test";
    NPAtlasBaseAddress = "http://atlas.test";
    EXPECT_EQ(GlossaryPageAddress("12"), "http://portal.test/portal/glossary/individual.php?glossid=12");
    EXPECT_EQ(GlossaryPageAddress(""), "http://portal.test/portal/glossary/individual.php?glossid=");
    EXPECT_EQ(GlossaryPageAddress("1&x=2"), "http://portal.test/portal/glossary/individual.php?glossid=1%26x%3D2");
    EXPECT_EQ(AtlasSearchAddress("Usnic acid"), "http://atlas.test/search/basic?name=Usnic%20acid");
    EXPECT_EQ(AtlasSearchAddress("a&b\" c"), "http://atlas.test/search/basic?name=a%26b%22%20c");
    ResetSettings();
}

// The record controls' Tags in the window's component order.
std::vector<TRecordValue> AllTagValues(const QString& prefix)
{
    const int order[] = {15, 17, 18, 19, 20, 16, 21, 23, 24, 22, 25, 28, 27, 26, 1, 2, 3, 4, 5, 7, 6, 8, 9, 10,
                         11, 12, 13, 14, 29, 30};
    std::vector<TRecordValue> values;
    for (int tag : order) values.push_back({tag, prefix + QString::number(tag)});
    return values;
}

TEST(SubstanceSql, SaveStatementNamesTheColumnsInComponentOrder)
{
    EXPECT_EQ(SaveColumns(AllTagValues("v")).join(","),
              "name,KResult,KCResult,PDResult,Cortex,Medulla,CResult,M,F2,F3,F1,Notes,Class,Synonyms,Related,"
              "A,B,Bprime,C,E,G,F,HPLC,BefVis,BefUVS,BefUVL,Archers,AftVis,AftUV,Path,GroupName");
    EXPECT_EQ(InsertSubstanceSql({{1, "x"}, {27, "y"}}), "INSERT INTO Substances (name,A,Synonyms) VALUES (?1,?2,?3)");
}

class SaveSubstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.InsertSubstance({{"name", "Atranorin"}, {"A", "75"}, {"Lichens", "L1"}, {"GLossID", "12"}});
        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);
    }
    void TearDown() override { SetMainDatabase(nullptr, nullptr); }

    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
};

TEST_F(SaveSubstanceTest, HostileTextIsStoredAndFoundLiterally)
{
    const QString name = "Odd \"name\"); DROP TABLE Lichens; --";
    const QString notes = "said \"hi\"\r\nline 2";
    EXPECT_EQ(SaveSubstance(connection, name, {{25, notes}, {1, "9"}}, false), TSaveOutcome::Inserted);
    EXPECT_EQ(db.Count("Substances"), 2);
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_master WHERE name = 'Lichens'"), "1");
    EXPECT_EQ(CountSubstancesNamed(name), 1);
    EXPECT_EQ(db.Scalar("SELECT Notes FROM Substances WHERE A = '9'"), notes);
    EXPECT_EQ(db.Scalar("SELECT name FROM Substances WHERE A = '9'"), name);
    EXPECT_EQ(SubstanceListLines("DROP TABLE"), QStringList{name});
}

// The list as the substance list window has always built it: the names, then
// one statement per listed name for its synonyms, read by the name itself.
QStringList PerNameListLines(const QString& searchText)
{
    if (searchText.isEmpty())
        RunQuery("select name from Substances");
    else
        RunQuery("select name from Substances WHERE name like ?1 OR Synonyms like ?1", {"%" + searchText + "%"});
    QStringList names;
    for (TSQLQuery& q = MainQuery(); !q.Eof(); q.Next())
        names << GetFieldString("name");
    std::stable_sort(names.begin(), names.end(), NameLess);
    QStringList lines;
    for (const QString& name : names) {
        lines << name;
        RunQuery("SELECT Synonyms from Substances where name LIKE ?1 ESCAPE '\\' LIMIT 1", {LiteralLikePattern(name)});
        lines << SynonymLines(GetFieldString("Synonyms"));
    }
    return lines;
}

TEST_F(SaveSubstanceTest, ListLinesAreThoseOfOneStatementPerName)
{
    // Names that LIKE finds in other rows: other letter case (ASCII only),
    // wildcards, an empty and a NULL name, blanks kept.
    const std::vector<std::pair<QVariant, QVariant>> rows = {
        {"usnic acid", "lower, first"},
        {"Usnic acid", "upper, second"},
        {"USNIC ACID", QVariant()},
        {"Ölsäure", "o umlaut"},
        {"ölsäure", "lower o umlaut"},
        {"Wild%card", "wild one"},
        {"WildXYZcard", "plain one"},
        {"Wild%card", "wild twice"},
        {"Under_score", "under"},
        {"UnderXscore", "x instead"},
        {"_eading", "leading"},
        {"Trailing ", "with blank"},
        {"Trailing", "without blank"},
        {"", "empty name"},
        {QVariant(), "null name"},
        {"Plain", ""},
        {"Synonym holder", "Atranorin, Zz, atra%"},
    };
    for (const auto& [name, synonyms] : rows)
        db.InsertSubstance({{"name", name}, {"Synonyms", synonyms}});
    db.CloseHandle();
    for (const QString search : {"", "a", "ACID", "%", "_", "ö", "Ö", "Zz", "card", "x", "nothing at all", " "})
        EXPECT_EQ(SubstanceListLines(search), PerNameListLines(search)) << search.toStdString();
    // The rules at work: a name shows the synonyms of the first row of that
    // name, ASCII case aside; "%" and "_" are letters of the name.
    const QStringList all = SubstanceListLines("");
    const qsizetype upper = all.indexOf("Usnic acid");
    ASSERT_GE(upper, 0);
    EXPECT_EQ(all.mid(upper + 1, 2), QStringList({"  (lower)", "  (first)"}));
    const qsizetype underscore = all.indexOf("Under_score");
    ASSERT_GE(underscore, 0);
    EXPECT_EQ(all.mid(underscore + 1, 1), QStringList({"  (under)"}));
}

TEST_F(SaveSubstanceTest, ReplaceUpdatesTheRowKeepingLichensAndGlossId)
{
    EXPECT_EQ(SaveSubstance(connection, "atranorin", {{1, "80"}, {25, "new"}}, true), TSaveOutcome::Updated);
    const auto rows = db.Rows("SELECT name, A, Notes, Lichens, GLossID FROM Substances");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), "atranorin");
    EXPECT_EQ(rows[0][1].toString(), "80");
    EXPECT_EQ(rows[0][2].toString(), "new");
    EXPECT_EQ(rows[0][3].toString(), "L1");
    EXPECT_EQ(rows[0][4].toString(), "12");
    EXPECT_FALSE(connection.InTransaction());

    // The row was removed meanwhile: the record is written as a new row.
    db.Exec("DELETE FROM Substances");
    EXPECT_EQ(SaveSubstance(connection, "Atranorin", {{1, "81"}}, true), TSaveOutcome::Inserted);
    EXPECT_EQ(db.Count("Substances"), 1);
}

TEST_F(SaveSubstanceTest, WildcardsInANameStandForThemselves)
{
    db.InsertSubstance({{"name", "Usnic acid"}, {"A", "70"}});
    const struct { QString name; int count; } cases[] = {
        {"ATRANORIN", 1}, {"usnic acid", 1}, {"Usnic_acid", 0}, {"Atran%", 0}, {"%", 0}, {"_tranorin", 0},
        {"Usnic\\ acid", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(CountSubstancesNamed(c.name), c.count) << c.name.toStdString();

    // A replace under such a name overwrites no other substance.
    EXPECT_EQ(SaveSubstance(connection, "Usnic_acid", {{1, "99"}}, true), TSaveOutcome::Inserted);
    EXPECT_EQ(db.Scalar("SELECT A FROM Substances WHERE name = 'Usnic acid'"), "70");
    EXPECT_EQ(db.Scalar("SELECT A FROM Substances WHERE name = 'Atranorin'"), "75");
    EXPECT_EQ(db.Count("Substances"), 3);
    EXPECT_EQ(CountSubstancesNamed("Usnic_acid"), 1);
    EXPECT_EQ(SaveSubstance(connection, "usnic_ACID", {{1, "98"}}, true), TSaveOutcome::Updated);
    EXPECT_EQ(db.Scalar("SELECT A FROM Substances WHERE name = 'usnic_ACID'"), "98");
    EXPECT_EQ(db.Count("Substances"), 3);
}

TEST_F(SaveSubstanceTest, AFailedWriteChangesNothing)
{
    db.Exec("CREATE TRIGGER refuse BEFORE UPDATE ON Substances BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(SaveSubstance(connection, "Atranorin", {{1, "80"}}, true), std::exception);
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_EQ(db.Scalar("SELECT A FROM Substances"), "75");
    EXPECT_EQ(db.Count("Substances"), 1);
}

} // namespace
