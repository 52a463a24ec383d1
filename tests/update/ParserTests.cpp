// The pure parts of the data update: portal answers taken apart, the lichen
// names of substance records, the glossary page, versions and the dates text.
#include "CaseNames.h"
#include "update/Glossary.h"
#include "update/LichenUpdate.h"
#include "update/PortalPages.h"
#include "update/Reconcile.h"
#include "update/SubstanceUpdate.h"
#include "update/UpdateDates.h"
#include "update/VersionCheck.h"
#include "framework/Exceptions.h"

#include <gtest/gtest.h>
#include <set>

namespace {

QString RowText(const TLichenRow& row)
{
    return row.Lichen + "|" + row.Substance + "|" + row.Genus;
}

QStringList RowTexts(const std::vector<TLichenRow>& rows)
{
    QStringList out;
    for (const TLichenRow& row : rows)
        out << RowText(row);
    return out;
}

QStringList RowTexts(const TDownloadedLichens& rows)
{
    QStringList out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const TDownloadedLichen row = rows[i];
        out << QString::fromUtf8(row.Lichen) + "|" + QString::fromUtf8(row.Substance) + "|"
                   + QString::fromUtf8(row.Genus);
    }
    return out;
}

}

// How full a page is comes from the answer's JSON as it came: every entry of
// its "results" counts, whatever it holds; brackets and quotes inside
// strings, nested objects and other lists do not.
TEST(PortalPage, EntriesAndCountComeFromTheAnswersJson)
{
    struct Case {
        QByteArray body;
        bool isList;
        qint64 entries;
        size_t records;
        qint64 count;
    } cases[] = {
        {R"({"count":3,"results":[{"id":1,"taxon":{"sciname":"A b"}},{"id":2,"charStateName":null},{"id":3}]})", true, 3, 3, 3},
        {R"({"results":[],"count":0})", true, 0, 0, 0},
        {R"({"results":[{"note":"a } ] { [ \" quoted"}]})", true, 1, 1, -1},
        {R"({"next":"http://x/?offset=10000","other":[1,2],"count":25000,"results":[{"list":[{},{}]},{}]})", true, 2, 2, 25000},
        {R"({"results":[null,7,"x",true,{}],"count":"5"})", true, 5, 1, -1},
        {R"({"results":[],"count":2.5})", true, 0, 0, -1},
        {R"({"results":[],"count":-1})", true, 0, 0, -1},
        {"\xEF\xBB\xBF{\"results\":[{\"name\":\"Z\xC3\xA9orin\"}]}", true, 1, 1, -1},
        {"{\"results\":[{\"name\":\"Z\xE9orin\"}]}", true, 1, 1, -1},   // Windows-1252
        {R"({"data":[{},{}]})", false, 0, 0, -1},
        {R"({"meta":{"count":7,"results":[{}]}})", false, 0, 0, -1},   // not the answer's own keys
        {R"({"results":{"a":1}})", false, 0, 0, -1},
        {R"([{"count":1,"results":[{}]}])", false, 0, 0, -1},
        {R"({"count":1"results":[{}]})", false, 0, 0, -1},   // commas before quotes removed
        {"Error", false, 0, 0, -1},
        {"", false, 0, 0, -1},
        // An answer that names its count twice contradicts itself.
        {R"({"count":25000,"results":[{}],"count":10000})", false, 0, 0, -1},
        {R"({"count":1,"results":[],"c\u006funt":1})", false, 0, 0, -1},
        {"\xEF\xBB\xBF{\"count\":2,\"count\":2,\"results\":[]}", false, 0, 0, -1},
        {R"({"meta":{"count":1},"results":[{"count":1}],"count":2,"counts":3})", true, 1, 1, 2},
    };
    for (const Case& c : cases) {
        const TPortalPage page = ReadPortalPage(c.body);
        EXPECT_EQ(page.IsList, c.isList) << c.body.toStdString();
        EXPECT_EQ(page.Entries, c.entries) << c.body.toStdString();
        EXPECT_EQ(page.RecordKeys.size(), c.records) << c.body.toStdString();
        EXPECT_EQ(page.Count, c.count) << c.body.toStdString();
    }
}

// A record is the same record however it is written; any other value
// makes another.
TEST(PortalPage, RecordsCompareByTheirContentNotTheirBytes)
{
    auto keys = [](const QByteArray& body) { return ReadPortalPage(body).RecordKeys; };
    const std::vector<size_t> page = keys(R"({"offset":0,"results":[{"id":1,"taxon":{"sciname":"A b"}},{"id":2}]})");
    ASSERT_EQ(page.size(), 2u);
    EXPECT_NE(page[0], page[1]);
    EXPECT_EQ(keys("{\"offset\":10000,\"results\":[ {\"taxon\": {\"sciname\":\"A\\u0020b\"}, \"id\":1.0} ]}"),
              std::vector<size_t>({page[0]}));
    for (const QByteArray& other : {QByteArray(R"({"results":[{"id":1,"taxon":{"sciname":"A c"}}]})"),
                                    QByteArray(R"({"results":[{"id":"1","taxon":{"sciname":"A b"}}]})"),
                                    QByteArray(R"({"results":[{"id":1,"taxon":{"sciname":"A b","x":null}}]})"),
                                    QByteArray(R"({"results":[{"id":1,"taxon":[{"sciname":"A b"}]}]})")})
        EXPECT_NE(keys(other), std::vector<size_t>({page[0]})) << other.toStdString();
}

// A long page is hashed in parts: every record keeps its own key, in the
// order of the list, whatever part it falls in and whatever lies between.
TEST(PortalPage, ALongPageGivesEachRecordItsKeyInOrder)
{
    auto record = [](int id) { return "{\"id\":" + QByteArray::number(id) + ",\"taxon\":{\"sciname\":\"L b\"}}"; };
    auto single = [&](int id) { return ReadPortalPage("{\"results\":[" + record(id) + "]}").RecordKeys; };
    for (int n : {2499, 5000, 7501, 12345}) {
        SCOPED_TRACE(n);
        QByteArray body = "{\"count\":1,\"results\":[";
        std::vector<int> ids;
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                body += ',';
            if (i % 1000 == 999)
                body += "null";   // an entry that is no record
            else {
                body += record(i);
                ids.push_back(i);
            }
        }
        body += "]}";
        const TPortalPage page = ReadPortalPage(body);
        EXPECT_EQ(page.Entries, n);
        ASSERT_EQ(page.RecordKeys.size(), ids.size());
        for (size_t k : {size_t(0), ids.size() / 3, ids.size() / 2, ids.size() - 1})
            EXPECT_EQ(std::vector<size_t>({page.RecordKeys[k]}), single(ids[k])) << k;
        EXPECT_EQ(std::set<size_t>(page.RecordKeys.begin(), page.RecordKeys.end()).size(), ids.size());
    }
}

// The list is found in the decoded text (no JSON any more: commas before
// quotes are gone) as the JSON reader takes it: the last "results" of the
// answer itself, its key read with its escapes, whatever strings and nested
// values hold. Where an earlier "results" holds anything, which list the
// reader took cannot be told from the text.
TEST(PortalPage, ResultsListTextIsThatOfTheListTheReaderTakes)
{
    const struct {
        QByteArray text;
        QByteArray list;
        QByteArray first;
    } cases[] = {
        {R"({"offset":9999"count":3"results":[)" "\n" R"({"id":1"taxon":{"sciname":"A [b] } \"c{"}},)" "\n"
         R"({"id":2}]})",
         R"([)" "\n" R"({"id":1"taxon":{"sciname":"A [b] } \"c{"}},)" "\n" R"({"id":2}])",
         R"({"id":1"taxon":{"sciname":"A [b] } \"c{"}})"},
        {R"({"results":[ true ,{}]})", R"([ true ,{}])", "true"},
        {R"({"results":["x]\\"{}]})", R"(["x]\\"{}])", R"("x]\\")"},
        {R"({"results":[-1.5e3"x"]})", R"([-1.5e3"x"])", "-1.5e3"},
        {R"({"results":[[1,[2]]{}]})", R"([[1,[2]]{}])", "[1,[2]]"},
        {R"({"results":[]"results":[{"a":1}]})", R"([{"a":1}])", R"({"a":1})"},
        {R"({"meta":{"results":[{"no":1}]}"note":"\"results\":[2]""results":[{"yes":3}]"other":[{"no":4}]})",
         R"([{"yes":3}])", R"({"yes":3})"},
        {R"({"results":[ ]})", "[ ]", "<none>"},
        {R"({"results":[{"a":1}]"results":[]})", "<none>", "<none>"},
        {R"({"res\u0075lts":[{"a":1}]})", R"([{"a":1}])", R"({"a":1})"},
        {R"({"r\u0065sults":[]"results":[{"a":1}]})", R"([{"a":1}])", R"({"a":1})"},
        {R"({"res\u0075lt":[{"a":1}]"res\\u0075lts":[{"b":1}]"results\u0000":[{"c":1}]})", "<none>", "<none>"},
        {R"({"results":[{"x":1}]"res\u0075lts":[{"a":1}]})", "<none>", "<none>"},
        {R"({"results":[{"x":1}]"results":[{"a":1}]})", "<none>", "<none>"},
        {R"({"results":{"x":1}"results":[{"a":1}]})", "<none>", "<none>"},
        {R"({"results":[]"results":{"x":1}})", "<none>", "<none>"},
        {R"({"results":{"a":1}})", "<none>", "<none>"},
        {R"([{"results":[{"a":1}]}])", "<none>", "<none>"},
        {R"({"results":[{"a":1}])", "<none>", "<none>"},   // cut off
        {"Error", "<none>", "<none>"},
        {"", "<none>", "<none>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<TResultsText> found = ResultsListText(c.text);
        const QByteArray list = found ? found->TextIn(c.text) : QByteArray("<none>");
        EXPECT_EQ(list, c.list);
        const std::optional<TTextSpan> first = found ? found->First : std::nullopt;
        EXPECT_EQ(first ? list.mid(first->From, first->To - first->From) : QByteArray("<none>"), c.first);
    }
}

TEST(MorphologyAnswer, PairsSubstanceAndLichenByPositionAndTakesGenus)
{
    const QByteArray answer =
        R"({"count":3"results":[)" "\n"
        R"({"charStateName":"(+)-usnic acid""sciname":"Usnea hirta"})" "\n"
        R"J({"charStateName":"atranorin (major)""sciname":"Cladonia rangiferina (L.) Weber"})J" "\n"
        R"({"charStateName":"gyrophoric acid""sciname":"123 unknown"})" "\n]}";
    TDownloadedLichens rows;
    QByteArray genus = "Old";
    ASSERT_EQ(ParseMorphologyAnswer(answer, rows, genus), TMorphologyParse::Ok);
    EXPECT_EQ(RowTexts(rows), QStringList({"Usnea hirta|(+)-usnic acid|Usnea",
                                           "Cladonia rangiferina |atranorin |Cladonia",
                                           "123 unknown|gyrophoric acid|unknown"}));
    EXPECT_EQ(genus, "unknown");
}

TEST(MorphologyAnswer, RefusesAnswersThatDoNotPairUp)
{
    TDownloadedLichens rows;
    QByteArray genus = "Kept";
    EXPECT_EQ(ParseMorphologyAnswer("Error", rows, genus), TMorphologyParse::NoSubstance);
    EXPECT_EQ(ParseMorphologyAnswer(R"({"sciname":"Usnea hirta"})", rows, genus),
              TMorphologyParse::NoSubstance);
    // A record with a null substance leaves three lichens for two substances.
    const QByteArray unequal = R"([{"charStateName":"a""sciname":"Aa bb"}{"charStateName":null"sciname":"Cc dd"})"
                               R"({"charStateName":"e""sciname":"Ee ff"}])";
    EXPECT_EQ(ParseMorphologyAnswer(unequal, rows, genus), TMorphologyParse::Corrupt);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(genus, "Kept");
}

// A later page: exactly the values of its first record are left out, so
// the others pair up by themselves whatever that record held.
TEST(MorphologyAnswer, LeavesOutTheRepeatedRecordOfALaterPage)
{
    auto record = [](const char* substance, const char* lichen) {
        return QByteArray(R"({"id":1"charStateName":)") + substance + R"("taxon":{"sciname":)" + lichen + "}}";
    };
    auto page = [](const QList<QByteArray>& records) {
        return R"({"offset":9999"count":3"results":[)" "\n" + records.join(",\n") + "\n]}";
    };
    const QByteArray both = record(R"("s2")", R"("Bb two")");
    const struct {
        const char* title;
        QByteArray text;
        TMorphologyParse parsed;
        QStringList rows;
    } cases[] = {
        {"a pair repeated", page({record(R"("s1")", R"("Aa one")"), both}), TMorphologyParse::Ok, {"Bb two|s2|Bb"}},
        {"a record of no pair repeated", page({record("null", "null"), both}), TMorphologyParse::Ok,
         {"Bb two|s2|Bb"}},
        {"nothing but the repeated record", page({both}), TMorphologyParse::NoSubstance, {}},
        {"records of neither after it", page({both, record("null", "null")}), TMorphologyParse::NoSubstance, {}},
        {"lichens without substance after it", page({both, record("null", R"("Cc three")")}),
         TMorphologyParse::Corrupt, {}},
        {"a substance without lichen after it", page({both, record(R"("s3")", "null")}), TMorphologyParse::Corrupt,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const std::optional<TResultsText> list = ResultsListText(c.text);
        ASSERT_TRUE(list && list->First);
        TDownloadedLichens rows;
        QByteArray genus = "Kept";
        EXPECT_EQ(ParseMorphologyAnswer(list->TextIn(c.text), rows, genus, list->First), c.parsed);
        EXPECT_EQ(RowTexts(rows), c.rows);
        EXPECT_EQ(genus, c.rows.isEmpty() ? "Kept" : "Bb");
    }
}

TEST(MorphologyAnswer, ValuesLengthCountsTheBytesOfTheValuesList)
{
    // ("Aé","S","A") is 15 bytes (é takes two); two rows joined by a comma.
    TDownloadedLichens rows;
    EXPECT_EQ(LichenValuesLength(rows), 0);
    rows.Append("Aé", "S");
    rows.Append("Aé", "S");
    EXPECT_EQ(RowTexts(rows), QStringList({"Aé|S|A", "Aé|S|A"}));
    EXPECT_EQ(LichenValuesLength(rows), 31);
    EXPECT_EQ(MorphologyAttributeAddress("http://p", "235"),
              "http://p/portal/api/v2/morphology/235/attribute?limit=10000&offset=0");
    EXPECT_EQ(MorphologyAttributeAddress("http://p", "235", 20000),
              "http://p/portal/api/v2/morphology/235/attribute?limit=10000&offset=20000");
    EXPECT_EQ(MorphologyAttributeIds.front(), QByteArray("235"));
    EXPECT_EQ(MorphologyAttributeIds[4], QByteArray("253"));
    EXPECT_EQ(MorphologyAttributeIds.back(), QByteArray("272"));
}

struct ReconcileCase {
    const char* title;
    std::vector<TSubstanceLichens> substances;
    QByteArray genusBefore;
    QStringList rows;
    QByteArray genusAfter;
};

void PrintTo(const ReconcileCase& c, std::ostream* os) { *os << c.title; }

class Reconciliation : public ::testing::TestWithParam<ReconcileCase> {};

TEST_P(Reconciliation, TakesNamesApart)
{
    const ReconcileCase& c = GetParam();
    QByteArray genus = c.genusBefore;
    EXPECT_EQ(RowTexts(ReconcileLichenNames(c.substances, genus)), c.rows) << c.title;
    EXPECT_EQ(genus, c.genusAfter) << c.title;
}

INSTANTIATE_TEST_SUITE_P(Cases, Reconciliation, ::testing::Values(
    ReconcileCase{"short text and last piece under six characters",
                  {{"S1", ""}, {"S2", "Usnea"}, {"S3", "Parmelia sulcata, Usnea"}},
                  "G", {"Parmelia sulcata|S3|Parmelia"}, "Parmelia"},
    ReconcileCase{"last piece of six characters or more",
                  {{"S", "Parmelia sulcata, Usnea hirta"}},
                  "", {"Parmelia sulcata|S|Parmelia", "Usnea hirta|S|Usnea"}, "Usnea"},
    ReconcileCase{"exact \"and\" and \",\" give no row, \"And\" does",
                  {{"S", "Usnea hirta, and, And, Usnea alpina"}},
                  "", {"Usnea hirta|S|Usnea", "And|S|And", "Usnea alpina|S|Usnea"}, "Usnea"},
    ReconcileCase{"qualifiers subsp., var., sp. and ssp",
                  {{"S", "Lecanora sp., Xanthoria parietina subsp. ectanea, "
                         "Xanthoria parietina var. ectanea, Physcia adscendens ssp tenella"}},
                  "", {"Lecanora|S|Lecanora", "Xanthoria parietina|S|Xanthoria",
                       "Xanthoria parietina|S|Xanthoria", "Physcia adscendens|S|Physcia"},
                  "Physcia"},
    ReconcileCase{"two words only",
                  {{"S", "Lecanora chlarotera f. rugosella"}},
                  "", {"Lecanora chlarotera|S|Lecanora"}, "Lecanora"},
    ReconcileCase{"abbreviated genus P. takes the word before",
                  {{"S", "Parmelia sulcata, P. saxatilis, P. caperata"}},
                  "", {"Parmelia sulcata|S|Parmelia", "P saxatilis|S|Parmelia", "P caperata|S|P"}, "P"},
    ReconcileCase{"abbreviation first in its list keeps the carried genus",
                  {{"S1", "Cladonia rangiferina"}, {"S2", "P. saxatilis, Usnea hirta"}},
                  "", {"Cladonia rangiferina|S1|Cladonia", "P saxatilis|S2|Cladonia",
                       "Usnea hirta|S2|Usnea"}, "Usnea"},
    ReconcileCase{"ten bytes keep the genus, eleven set it",
                  {{"S1", "Cladonia rangiferina, Usnea alpa"}, {"S2", "Cladonia rangiferina, Usnea hirta"}},
                  "", {"Cladonia rangiferina|S1|Cladonia", "Usnea alpa|S1|Cladonia",
                       "Cladonia rangiferina|S2|Cladonia", "Usnea hirta|S2|Usnea"}, "Usnea"},
    ReconcileCase{"a token without letters makes no row and keeps the genus",
                  {{"S", "Usnea hirta, sp., 12345 678, , Usnea alpina"}},
                  "", {"Usnea hirta|S|Usnea", "Usnea alpina|S|Usnea"}, "Usnea"},
    ReconcileCase{"an accented letter ends a word",
                  {{"S", "Lecidea lapicidaé, Lecanora"}},
                  "", {"Lecidea lapicida|S|Lecidea", "Lecanora|S|Lecanora"}, "Lecanora"}),
    TitleName());

TEST(SubstanceAnswer, FindsPairsOfEveryValueForm)
{
    const auto pairs = FindSubstancePairs(
        R"({"name":"X""A": 12"Notes":"""Path":null"F0":"x""B":true"C":"a b"})");
    ASSERT_EQ(pairs.size(), 6u);   // "F0" has a 0 in its key: no pair
    EXPECT_EQ(pairs[1].Key, "A");
    EXPECT_EQ(pairs[1].Value, "12");
    EXPECT_EQ(pairs[2].Value, "\"\"");
    EXPECT_EQ(pairs[3].Value, "null");
    EXPECT_EQ(pairs[5].Value, "\"a b\"");
}

TEST(SubstanceAnswer, ParsesRecordsIntoBoundValues)
{
    const QStringList columns = {"name", "A", "Notes", "GLossID", "M"};
    const QByteArray answer =
        R"({"count":2"results":[)" "\n"
        R"({"name":"Atranorin""A":75"Notes":"""M":-1.5e2"initialTimestamp":"2020"})" "\n"
        R"({"id":7"name":"Usnic acid""A":null"Notes":"yes""M":true"initialTimestamp":"2021"})" "\n"
        R"(]"next":"x""more":"y"})";
    TSubstanceRecords records;
    ASSERT_TRUE(ParseSubstanceRecords(answer, columns, records));
    EXPECT_EQ(records.Columns, QStringList({"name", "A", "Notes", "M"}));
    ASSERT_EQ(records.Records.size(), 2u);
    EXPECT_EQ(records.Records[0][0].toString(), "Atranorin");
    EXPECT_EQ(records.Records[0][1].toLongLong(), 75);
    EXPECT_TRUE(records.Records[0][2].isNull());
    EXPECT_DOUBLE_EQ(records.Records[0][3].toDouble(), -150.0);
    EXPECT_TRUE(records.Records[1][1].isNull());
    EXPECT_EQ(records.Records[1][2].toString(), "yes");
    EXPECT_EQ(records.Records[1][3].toLongLong(), 1);
    EXPECT_EQ(records.PairCount, 15);
}

TEST(SubstanceAnswer, TakesARecordAtTheVeryStartAndKeysWithoutCase)
{
    TSubstanceRecords records;
    ASSERT_TRUE(ParseSubstanceRecords(R"({"name":"X""glossid":"5""initialTimestamp":"t"})",
                                      {"name", "GLossID"}, records));
    EXPECT_EQ(records.Columns, QStringList({"name", "GLossID"}));
    EXPECT_EQ(records.Records.size(), 1u);
}

TEST(SubstanceAnswer, RefusesCorruptAnswers)
{
    const QStringList columns = {"name", "A", "B"};
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"internet switched off", "Error"},
        {"no record", R"({"count":0"results":[]})"},
        {"keys out of order", R"([{"name":"X""A":1"B":2"initialTimestamp":"t"}{"name":"Y""B":1"A":2"initialTimestamp":"t"}])"},
        {"fewer keys", R"([{"name":"X""A":1"B":2"initialTimestamp":"t"}{"name":"Y""A":2"initialTimestamp":"t"}])"},
        {"more keys", R"([{"name":"X""A":1"initialTimestamp":"t"}{"name":"Y""A":2"B":3"initialTimestamp":"t"}])"},
        {"record without its end", R"([{"name":"X""A":1"initialTimestamp":"t"}{"name":"Y""A":2}])"},
        {"record cut by the next name", R"([{"name":"X""A":1{"name":"Y""A":2"initialTimestamp":"t"}])"},
        {"key that is no column", R"([{"name":"X""Z":1"initialTimestamp":"t"}])"},
        {"key twice", R"([{"name":"X""A":1"a":2"initialTimestamp":"t"}])"},
        {"bare value that is not a number", R"([{"name":"X""A":12}"initialTimestamp":"t"}])"},
        {"bare word", R"([{"name":"X""A":yes"initialTimestamp":"t"}])"},
    };
    for (const auto& [title, answer] : cases) {
        TSubstanceRecords records;
        EXPECT_FALSE(ParseSubstanceRecords(answer, columns, records)) << title;
    }
}

// A later page's first record is checked as the others are, and only that
// record is left out.
TEST(SubstanceAnswer, LeavesOutTheRepeatedRecordOfALaterPage)
{
    const QStringList columns = {"name", "A", "B"};
    const QByteArray x = R"({"name":"X""A":1"initialTimestamp":"t"})";
    const QByteArray y = R"({"name":"Y""A":2"initialTimestamp":"t"})";
    const struct {
        const char* title;
        QByteArray first;
        bool ok;
        QStringList names;
    } cases[] = {
        {"a record repeated", x, true, {"Y"}},
        {"an entry that is no record repeated", "null", true, {"X", "Y"}},
        {"a record of other keys repeated", R"({"name":"X""B":1"initialTimestamp":"t"})", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const QByteArray text = R"({"offset":1999"results":[)" + c.first + ",\n" + (c.first == "null" ? x + ",\n" : "")
                                + y + "]}";
        const std::optional<TResultsText> list = ResultsListText(text);
        ASSERT_TRUE(list && list->First);
        TSubstanceRecords records;
        ASSERT_EQ(ParseSubstanceRecords(list->TextIn(text), columns, records, *list->First), c.ok);
        QStringList names;
        for (const QVariantList& record : records.Records)
            names << record[0].toString();
        EXPECT_EQ(names, c.names);
    }
    TSubstanceRecords records;
    const QByteArray alone = R"({"results":[)" + x + "]}";
    const std::optional<TResultsText> list = ResultsListText(alone);
    ASSERT_TRUE(list && list->First);
    ASSERT_TRUE(ParseSubstanceRecords(list->TextIn(alone), columns, records, *list->First));
    EXPECT_EQ(records.Columns, QStringList({"name", "A"}));
    EXPECT_TRUE(records.Records.empty());
}

TEST(SubstanceAnswer, IgnoresTrailingFieldsAfterTheLastRecord)
{
    TSubstanceRecords records;
    ASSERT_TRUE(ParseSubstanceRecords(
        R"([{"name":"X""A":1"initialTimestamp":"t""extra":"1""A":5"B":6"C":7}])", {"name", "A", "B", "C"},
        records));
    EXPECT_EQ(records.Records.size(), 1u);
}

TEST(GlossaryPage, TakesIdentifierAndTermAndSkipsTheFixedOnes)
{
    const auto entries = ParseGlossaryIndex(
        "<a href=\"#\" onclick=\"Popup(12,'x')\">Atranorin</a>\n"
        "<a onclick=\"Popup(1124)\">name</a><a onclick=\"Popup(7);\">name </a>"
        "<a onclick=\"Popup(01124)\"> Usnic acid</a>Popup(x)>no");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Id, "12");
    EXPECT_EQ(entries[0].Term, "Atranorin");
    EXPECT_EQ(entries[2].Term, "name ");
    EXPECT_EQ(entries[3].Term, " Usnic acid");
    EXPECT_FALSE(IsAppliedGlossaryEntry({"1124", "Atranorin"}));
    EXPECT_FALSE(IsAppliedGlossaryEntry({"5", "name"}));
    EXPECT_TRUE(IsAppliedGlossaryEntry({"5", "Name"}));
    EXPECT_TRUE(IsAppliedGlossaryEntry({"01124", "name "}));
}

TEST(VersionCompare, ComparesPartsFromTheLeft)
{
    EXPECT_FALSE(IsNewerVersion("1.2.2.0", "1.2.2.0"));
    EXPECT_TRUE(IsNewerVersion("1.2.3", "1.2.2.0"));
    EXPECT_TRUE(IsNewerVersion("1.3", "1.2.2.0"));
    EXPECT_TRUE(IsNewerVersion("2", "1.2.2.0"));
    EXPECT_FALSE(IsNewerVersion("1.2.2", "1.2.2.0"));
    EXPECT_FALSE(IsNewerVersion("1.1.9.9", "1.2.2.0"));
    EXPECT_FALSE(IsNewerVersion("1.2.2.0.", "1.2.2.0"));
    EXPECT_TRUE(IsNewerVersion(" 1 . 3\n", "1.2.2.0"));
    EXPECT_THROW(IsNewerVersion("1.2.2.0.1", "1.2.2.0"), EConvertError);
    EXPECT_THROW(IsNewerVersion("<html>", "1.2.2.0"), EConvertError);
}

TEST(UpdateDatesFormat, HoldsBothDatesWithoutFinalLineEnd)
{
    EXPECT_EQ(UpdateDatesText("0", "0"), QByteArray("Substances\t0\r\nLichens\t0"));
    EXPECT_EQ(UpdateDatesText("0", "0").size(), 23);
}
