// The matching engine over a small real database: the candidate statement,
// the indexed statement against it, and whole runs of both methods with
// cune correction, thallus reactions, filters and failures.
#include "identify/MatchEngine.h"
#include "core/Schema.h"
#include "framework/Database.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "support/FixtureDb.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <sqlite3.h>

namespace {

TColorMatrix TestMatrix()
{
    TColorMatrix m;
    const QStringList names = {"No Result", "White",  "Brown",  "P.Brown", "Purple", "Lilac",
                               "Yellow",    "P. Yellow", "Orange", "Pink",  "Red",    "P.Red",
                               "D. Red",    "B. Blue", "D. Blue", "Green", "Gray",   "Black"};
    for (int r = 0; r < 18; ++r) {
        m[r].ColorName = names[r];
        m[r].Similarity[r] = "100";
    }
    return m;
}

TSubstanceRecord Spot(const QString& name, std::initializer_list<std::pair<int, QString>> fields)
{
    TSubstanceRecord r;
    r.name = name;
    for (const auto& [k, v] : fields)
        r.Field(k) = v;
    return r;
}

constexpr int A = 1, C = 4, HPLC = 8;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        using V = std::map<QString, QVariant>;
        db.InsertSubstance(V{{"name", "Atranorin"}, {"A", 30}, {"B", 40}, {"C", 45}, {"KResult", "Yellow"},
                             {"GroupName", "Depsides"}});
        db.InsertSubstance(V{{"name", "Usnic acid"}, {"A", 32}, {"C", 47}, {"GroupName", "Dibenzofurans"}});
        db.InsertSubstance(V{{"name", "Zeorin"}, {"A", 30}, {"GroupName", "Terpenoids"}});
        db.InsertSubstance(V{{"name", "Gyr"}, {"A", 30}, {"GroupName", "Terpenoids"}});
        db.InsertSubstance(V{{"name", "Norstictic acid"}, {"A", 30}, {"C", 0}, {"GroupName", "Depsidones"}});
        db.InsertSubstance(V{{"name", "Lonely acid"}, {"A", 30}});
        db.InsertSubstance(V{{"name", "O'Brien's acid"}, {"A", 31}, {"GroupName", "Brien's group"}});
        db.InsertSubstance(V{{"name", "Far acid"}, {"A", 60}, {"C", 45}});
        db.InsertSubstance(V{{"name", "Case acid"}, {"A", 30}, {"HPLC", 12}});
        db.InsertLichen("Parmelia sulcata", "Atranorin", "Parmelia");
        db.InsertLichen("Cladonia rangiferina", "atranorin", "Cladonia");
        db.InsertLichen("Usnea florida", "Usnic acid", "Usnea");
        db.InsertLichen("Lecanora muralis", "Zeorin", "Lecanora");
        db.InsertLichen("Lecanora rupicola", "Zeorin", "Lecanora");
        db.InsertLichen("Xanthoria parietina", "Gyr", "Xanthoria");
        db.InsertLichen("Parmelia saxatilis", "Norstictic acid", "Parmelia");
        db.InsertLichen("Arcy lichen", "O'Brien's acid", "D'Arcy");
        db.InsertLichen("Usnea hirta", "Far acid", "Usnea");
        db.InsertLichen("Cladonia fimbriata", "CASE ACID", "Cladonia");
        db.CloseHandle();
        connection.Params = db.ConnectionParams();
        connection.Open();
    }

    TMatchSettings RfError(const QString& tolerance = "2")
    {
        TMatchSettings s;
        s.MatchingMethod = RfErrorMethod;
        s.ToleranceText = tolerance;
        s.CorrelationFactorText = "5";
        return s;
    }
    TMatchSettings Correlation(const QString& factor = "5")
    {
        TMatchSettings s = RfError();
        s.MatchingMethod = CorrelationMethod;
        s.CorrelationFactorText = factor;
        return s;
    }

    TMatchResult Run(const std::vector<TSubstanceRecord>& spots, const TMatchSettings& s, int sortColumn = 100)
    {
        return MatchAllSpots(spots, s, matrix, query, sortColumn);
    }

    // Substance rows of a result by name with their scores; checks that they
    // come best first, whatever the order among equal scores.
    static std::map<QString, float> Substances(const TMatchResult& r)
    {
        std::map<QString, float> out;
        float previous = 1e30f;
        for (const TMatchRow& row : r.Rows) {
            if (row.Kind != TRowKind::Substance)
                continue;
            EXPECT_LE(row.Score, previous) << row.Caption.toStdString();
            EXPECT_EQ(row.Record.MatchScore, -row.Score);
            EXPECT_EQ(row.Caption, row.Record.name);
            previous = row.Score;
            out[row.Caption] = row.Score;
        }
        return out;
    }

    // Rows of a statement as lists of the record fields, in statement order
    // or sorted.
    std::vector<QStringList> RowsOf(const QString& sql, const QVariantList& params = {}, bool sorted = true)
    {
        TSQLQuery q(&connection);
        q.SQL = sql;
        q.Params = params;
        q.Open();
        std::vector<QStringList> rows;
        for (; !q.Eof(); q.Next()) {
            QStringList row;
            for (int i = 0; i <= 20; ++i)
                row << q.FieldByName(ColumnNames[i]).AsString();
            row << q.FieldByName("GroupName").AsString();
            rows.push_back(row);
        }
        if (sorted)
            std::sort(rows.begin(), rows.end());
        return rows;
    }

    // The indexed statement gives the reference statement's rows in its
    // order, and the engine's run over both methods lists the same.
    void ExpectSameCandidates(const TSubstanceRecord& spot, const QString& tolerance, const TNameFilter& genus,
                              const TNameFilter& group)
    {
        const QString reference = BuildCandidateSql(spot, tolerance, "", genus, group);
        QStringList columns;
        for (int i = 0; i <= 20; ++i)
            columns << ColumnNames[i];
        columns << "GroupName";
        TLichenNameSet lichenNames(connection, genus);
        const std::vector<QStringList> expected = RowsOf(reference, {}, false);
        EXPECT_EQ(CandidateRows(spot, tolerance, "", group, columns, lichenNames, query), expected)
            << reference.toStdString();
        // The engine's own reading: the same rows as records, the name
        // trimmed, whether the rows are found by rowid or in a pass.
        std::vector<QStringList> trimmed;
        for (const QStringList& row : expected) {
            QStringList r = row.mid(0, 21);
            r[0] = Trim(r[0]);
            trimmed.push_back(r);
        }
        for (const size_t byRowidAtMost : {size_t(1000), size_t(0)}) {
            TLichenNameSet engineNames(connection, genus);
            std::vector<QStringList> records;
            for (const TCandidate& c :
                 CandidateRecords(spot, tolerance, "", group, engineNames, query, byRowidAtMost)) {
                QStringList row;
                for (int i = 0; i <= 20; ++i)
                    row << c.Record.Field(i);
                records.push_back(row);
                EXPECT_EQ(c.Rf, RfValuesOf(c.Record));
            }
            EXPECT_EQ(records, trimmed) << reference.toStdString() << " by rowid up to " << byRowidAtMost;
        }
    }

    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
    TColorMatrix matrix = TestMatrix();
};

const QString JoinedHead =
    "select * from Substances S INNER JOIN Lichens L on L.Substance LIKE name where ";

TEST_F(EngineTest, StatementTextOfTwoValues)
{
    const TSubstanceRecord spot = Spot("Spot 1", {{A, "30"}, {C, "45"}});
    EXPECT_EQ(BuildCandidateSql(spot, "", "2", {}, {}),
              JoinedHead + "(A IS NULL OR A = 0 OR abs(30-A) <= 2) AND (C IS NULL OR C = 0 OR abs(45-C) <= 2)"
                           "GROUP BY name");
    EXPECT_EQ(BuildCandidateSql(spot, "", "2", {true, {"Parmelia", "D'Arcy"}}, {true, {"Depsides"}}),
              JoinedHead + "(A IS NULL OR A = 0 OR abs(30-A) <= 2) AND (C IS NULL OR C = 0 OR abs(45-C) <= 2)"
                           " AND L.Genus IN ('Parmelia','D''Arcy')  AND S.GroupName IN ('Depsides') GROUP BY name");
}

TEST_F(EngineTest, StatementTextVariants)
{
    struct Case { const char* what; TSubstanceRecord spot; QString tolerance; TNameFilter genus; QString expected; };
    const Case cases[] = {
        {"HPLC only", Spot("Spot 1", {{HPLC, "12"}}), "", {},
         JoinedHead + "(HPLC IS NULL OR HPLC = 0 OR abs(12-HPLC) <= 3)GROUP BY name"},
        {"own tolerance", Spot("Spot 1", {{A, "30"}}), "5", {},
         JoinedHead + "(A IS NULL OR A = 0 OR abs(30-A) <= 5)GROUP BY name"},
        {"decimal tolerance", Spot("Spot 1", {{A, "30"}}), "1.5", {},
         JoinedHead + "(A IS NULL OR A = 0 OR abs(30-A) <= 1.5)GROUP BY name"},
        {"empty genus list", Spot("Spot 1", {{A, "30"}}), "", {true, {}},
         JoinedHead + "(A IS NULL OR A = 0 OR abs(30-A) <= 3) AND L.Genus IN () GROUP BY name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildCandidateSql(c.spot, c.tolerance, "3", c.genus, {}), c.expected) << c.what;
}

TEST_F(EngineTest, ToleranceMustBeANumberWhenItEntersTheStatement)
{
    const TSubstanceRecord spot = Spot("Spot 1", {{A, "30"}});
    for (const char* bad : {"", "abc", "2)", "1 OR 1=1", "2;"}) {
        EXPECT_THROW(BuildCandidateSql(spot, "", bad, {}, {}), EDatabaseError) << bad;
        EXPECT_THROW(BuildIndexedCandidateQuery(spot, "", bad, {}), EDatabaseError) << bad;
    }
    // A spot without a value runs no statement, so nothing is wrong yet.
    EXPECT_NO_THROW(BuildCandidateSql(Spot("Spot 1", {}), "", "abc", {}, {}));
}

TEST_F(EngineTest, IndexedStatementGivesTheRowsOfTheJoinedStatement)
{
    using V = std::map<QString, QVariant>;
    db.InsertSubstance(V{{"name", "Wild%card"}, {"A", 30}});
    db.InsertSubstance(V{{"name", "Under_score"}, {"A", 30}});
    db.InsertSubstance(V{{"name", "Plain%name"}, {"A", 30}});
    db.InsertSubstance(V{{"name", "Ärgerin"}, {"A", 30}});
    db.InsertSubstance(V{{"name", "Ölsäure"}, {"A", 30}});
    db.InsertSubstance(V{{"name", "Trailing "}, {"A", 30}});
    db.InsertSubstance(V{{"name", "Atranorin"}, {"A", 30}, {"B", 40}, {"C", 45}, {"KResult", "Yellow"},
                         {"GroupName", "Depsides"}});  // the same substance twice
    // The same name with other values: the grouping picks one of the rows.
    db.InsertSubstance(V{{"name", "Zeorin"}, {"A", 31}, {"C", 44}, {"KResult", "Red"}, {"BefVis", "+"}});
    db.InsertSubstance(V{{"name", "Zeorin"}, {"A", 29}, {"KResult", "Green"}, {"GroupName", "Terpenoids"}});
    db.InsertSubstance(V{{"name", "case acid"}, {"A", 30}, {"C", 0}, {"HPLC", 0}});   // other case, stored 0s
    db.InsertSubstance(V{{"name", "_eading"}, {"A", 30}, {"GroupName", "Terpenoids"}});   // leading wildcard
    db.InsertSubstance(V{{"name", "No%lichen"}, {"A", 30}});    // a wildcard name no row matches
    db.InsertSubstance(V{{"name", "Far%"}, {"A", 30}, {"B", 0}});  // matches another substance's rows
    db.InsertLichen("L8", "Leading", "Parmelia");
    db.InsertLichen("L1", "WildXYZcard", "Wildia");
    db.InsertLichen("L2", "UnderXscore", "Wildia");
    db.InsertLichen("L3", "ärgerin", "Wildia");    // other case outside ASCII: no match
    db.InsertLichen("L4", "ÖLSÄURE", "Wildia");    // ASCII letters differ in case, Ö and Ä not
    db.InsertLichen("L5", "Ölsäure", "Wildia");
    db.InsertLichen("L6", "Trailing", "Wildia");
    db.InsertLichen("L7", "Plain%NAME", "Wildia");
    db.CloseHandle();

    struct Case { TSubstanceRecord spot; QString tolerance; TNameFilter genus, group; };
    const Case cases[] = {
        {Spot("s", {{A, "30"}}), "2", {}, {}},
        {Spot("s", {{A, "30"}, {C, "45"}}), "1", {}, {}},
        {Spot("s", {{A, "31"}}), "0", {}, {}},
        {Spot("s", {{A, "30"}}), "5", {true, {"Parmelia", "Wildia"}}, {}},
        {Spot("s", {{A, "30"}}), "5", {true, {"D'Arcy"}}, {true, {"Brien's group"}}},
        {Spot("s", {{A, "30"}}), "5", {}, {true, {"Depsides", "Terpenoids"}}},
        {Spot("s", {{A, "30"}}), "5", {true, {}}, {}},
        {Spot("s", {{HPLC, "12"}}), "1.5", {}, {}},
        {Spot("s", {{A, "30"}}), "0", {true, {"Parmelia"}}, {}},
        {Spot("s", {{A, "30"}}), "0", {true, {"Usnea", "Cladonia"}}, {true, {"Terpenoids"}}},
        {Spot("s", {{A, "30"}, {C, "47"}}), "3", {true, {"Usnea", "Cladonia", "Wildia"}}, {}},
    };
    for (const Case& c : cases)
        ExpectSameCandidates(c.spot, c.tolerance, c.genus, c.group);
    // The wildcard and case rules really are at work in the fixture.
    const auto rows = RowsOf(BuildCandidateSql(Spot("s", {{A, "30"}}), "0", "", {}, {}));
    std::set<QString> names;
    for (const QStringList& r : rows)
        names.insert(r[0]);
    EXPECT_EQ(names, (std::set<QString>{"Atranorin", "Case acid", "Far%", "Gyr", "Norstictic acid", "Plain%name",
                                        "Under_score", "Wild%card", "Zeorin", "_eading", "case acid", "Ölsäure"}));
}

// A generated database of the reference shape in small: many substances and
// lichen rows, a few "%" and "_" in names (some leading), names differing only
// in case, rows spelling a substance in lower case, stored 0 values, and
// random spots with and without filters.
TEST_F(EngineTest, IndexedStatementAgreesOnAGeneratedDatabase)
{
    std::mt19937 rng(11);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    QStringList names;
    for (int i = 0; i < 200; ++i) {
        QString name = QStringLiteral("Sub%1 %2").arg(i).arg(i % 3 ? "acid" : "in");
        if (i % 23 == 4) name.insert(3, QLatin1Char('%'));
        if (i % 29 == 7) name.insert(2, QLatin1Char('_'));
        if (i % 61 == 9) name = QLatin1Char('_') + name.mid(1);
        if (i % 17 == 3) name = names[i - 1].toLower();
        if (i % 31 == 5) name = names[i - 2];   // the same name again, with other values
        names << name;
        std::map<QString, QVariant> values{{"name", name}, {"GroupName", QStringLiteral("Group%1").arg(i % 5)}};
        for (const char* column : {"A", "B", "C", "HPLC"}) {
            const int roll = pick(10);
            if (roll < 7) values[column] = 10 + pick(80);
            else if (roll < 9) values[column] = 0;
        }
        db.InsertSubstance(values);
    }
    db.Exec("BEGIN");
    for (int r = 0; r < 2000; ++r) {
        QString substance = names[pick(int(names.size()))];
        if (pick(10) == 0) substance = substance.toLower();
        if (pick(50) == 0) substance = QStringLiteral("Sub%1X acid").arg(pick(200));   // for the wildcards
        const int genus = pick(20);
        db.InsertLichen(QStringLiteral("Genus%1 sp%2").arg(genus).arg(r % 50), substance,
                        QStringLiteral("Genus%1").arg(genus));
    }
    db.Exec("COMMIT");
    db.CloseHandle();
    EnsureLichenIndex(connection);

    for (int n = 0; n < 12; ++n) {
        TSubstanceRecord spot = Spot("s", {{A, QString::number(10 + pick(80))}});
        if (n % 2) spot.Field(C) = QString::number(10 + pick(80));
        TNameFilter genus, group;
        if (n % 3 == 1) genus = {true, {"Genus1", "Genus7", "Genus13"}};
        if (n % 4 == 2) group = {true, {"Group0", "Group3"}};
        ExpectSameCandidates(spot, n % 2 ? "3" : "8", genus, group);
    }
}

// The statement reads by the index the start-up makes.
TEST_F(EngineTest, TheLichenStatementUsesTheStartUpIndex)
{
    ASSERT_TRUE(EnsureLichenIndex(connection));
    const TCandidateStatement st = LichenNamesStatement("[\"Atranorin\"]", {true, {"Parmelia"}});
    TSQLQuery plan(&connection);
    plan.SQL = "EXPLAIN QUERY PLAN " + st.Sql;
    plan.Params = st.Params;
    plan.Open();
    QString details;
    for (; !plan.Eof(); plan.Next())
        details += plan.FieldByName("detail").AsString() + "\n";
    EXPECT_TRUE(details.contains("LichensSubstanceLichen")) << details.toStdString();
}

// A database of an earlier version (its older index, none of today's) while
// another program holds its write lock: a run changes no index and so never
// meets the lock (the busy handler is never asked), and lists what it lists
// without the lock; the schema is as it was.
TEST_F(EngineTest, RunsNeverChangeTheIndexesNorWaitForAnotherProgramsLock)
{
    db.Exec("CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)");
    db.CloseHandle();
    const QString schema = "SELECT group_concat(name) FROM (SELECT name FROM sqlite_schema ORDER BY name)";
    const QString before = db.Scalar(schema);
    db.CloseHandle();
    const std::vector<TSubstanceRecord> spots = {Spot("Spot 1", {{A, "30"}}), Spot("Spot 2", {{A, "32"}, {C, "47"}})};
    TMatchSettings genus = RfError();
    genus.Genus = {true, {"Parmelia", "Usnea"}};

    int busyCalls = 0;
    sqlite3_busy_handler(
        connection.Handle(),
        [](void* calls, int) {
            ++*static_cast<int*>(calls);
            return 0;
        },
        &busyCalls);
    // Every row of a run, spots and substances, with its score.
    auto listed = [](const TMatchResult& r) {
        QStringList rows;
        for (const TMatchRow& row : r.Rows)
            rows << row.Caption + "=" + QString::number(row.Score);
        return rows;
    };
    const TMatchSettings settings[] = {RfError(), Correlation(), genus};

    // The lock is there before the first run, as at a start while the other
    // program writes.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(db.Path().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO Substances (name, A) VALUES ('Pending acid', 30)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::vector<QStringList> locked;
    for (const TMatchSettings& s : settings) {
        const TMatchResult r = Run(spots, s);
        EXPECT_FALSE(r.Failed) << r.Error.toStdString();
        locked.push_back(listed(r));
    }
    EXPECT_EQ(busyCalls, 0);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    for (size_t i = 0; i < std::size(settings); ++i)
        EXPECT_EQ(listed(Run(spots, settings[i])), locked[i]);
    EXPECT_EQ(db.Scalar(schema), before);
    EXPECT_GT(locked[0].size(), 2);
}

// Names another program stored as bytes that are not valid UTF-8 (Latin-1
// letters, a stray byte), in both tables: a substance is a candidate when
// lichen rows spell its stored name (ASCII case aside), also a name holding
// "_", and it is scored and listed under its name as read (the bad bytes
// read as U+FFFD). LIKE would read every malformed byte as that same
// character; the stored bytes are compared instead, so a name that only
// reads like another is not taken for it.
TEST_F(EngineTest, NamesStoredAsInvalidUtf8AreCandidatesByTheirStoredBytes)
{
    auto text = [](const QByteArray& bytes) {
        return QStringLiteral("CAST(x'%1' AS TEXT)").arg(QString::fromLatin1(bytes.toHex()));
    };
    auto substance = [&](const QByteArray& name, int a) {
        db.Exec(QStringLiteral("INSERT INTO Substances (name, A) VALUES (%1, %2)").arg(text(name)).arg(a));
    };
    auto lichen = [&](const char* lichen, const QByteArray& substance) {
        db.Exec(QStringLiteral("INSERT INTO Lichens (Lichen, Substance, Genus) VALUES ('%1', %2, 'G')")
                    .arg(QLatin1String(lichen), text(substance)));
    };
    substance("Usnic\xFF acid", 30);
    lichen("Usnea stray", "Usnic\xFF acid");
    substance("Evern\xE9 acid", 30);
    lichen("Evernia latin", "EVERN\xE9 ACID");
    substance("Lecan\xF6ric_acid", 30);   // "_": found by LIKE
    lichen("Lecanora latin", "Lecan\xF6ric acid");
    substance("Lonely\xFF acid", 30);     // no lichen row
    substance("Bad\xFF acid", 75);
    lichen("Badia", "Bad\xFF acid");
    substance("Bad\xFE acid", 75);        // reads as the name above, spelled by no row
    db.CloseHandle();

    const QString replaced = QString(QChar::ReplacementCharacter);
    for (const TMatchSettings& settings : {RfError(), Correlation()}) {
        const TMatchResult r = Run({Spot("Spot 1", {{A, "30"}}), Spot("Spot 2", {{A, "75"}})}, settings);
        ASSERT_FALSE(r.Failed) << r.Error.toStdString();
        std::vector<QStringList> listed(2);
        size_t spot = 0;
        for (const TMatchRow& row : r.Rows) {
            if (row.Kind == TRowKind::Spot)
                spot = row.Caption == "Spot 1" ? 0 : 1;
            else
                listed[spot] << row.Caption;
        }
        for (const QString& name : {"Usnic" + replaced + " acid", "Evern" + replaced + " acid",
                                    "Lecan" + replaced + "ric_acid"})
            EXPECT_TRUE(listed[0].contains(name)) << name.toStdString() << " " << listed[0].join(", ").toStdString();
        EXPECT_FALSE(listed[0].contains("Lonely" + replaced + " acid"));
        EXPECT_EQ(listed[1], QStringList({"Bad" + replaced + " acid"}));
        for (const TMatchRow& row : r.Rows) {
            if (row.Kind == TRowKind::Substance) {
                EXPECT_GT(row.Score, 0.0f) << row.Caption.toStdString();
            }
        }
    }
    // Where the stored bytes and LIKE agree, the engine's statement gives the
    // joined statement's rows.
    ExpectSameCandidates(Spot("s", {{A, "30"}}), "2", {}, {});
    ExpectSameCandidates(Spot("s", {{A, "30"}}), "2", {true, {"G"}}, {});
}

// The names travel to the database as a JSON array of their stored bytes:
// each comes back from the database's JSON reader as it went in.
TEST_F(EngineTest, NamesReachTheDatabaseAsStored)
{
    const QList<QByteArray> names = {"Plain acid", "Say \"x\" acid", "Back\\slash\\", "Tab\tand\nline\x01 \x1F",
                                     "Usnic\xFF acid", "\xC3\xB6lsäure", "", "[\"]"};
    TSQLQuery q(&connection);
    q.SQL = "SELECT value FROM json_each(?1)";
    q.Params = {JsonArrayOfTexts(names)};
    q.Open();
    QList<QByteArray> read;
    for (; !q.Eof(); q.Next())
        read << q.FieldByName("value").AsUtf8();
    EXPECT_EQ(read, names);
}

TEST_F(EngineTest, RfErrorRanksByPoints)
{
    const TMatchResult r = Run({Spot("Spot 1", {{A, "30"}, {C, "45"}})}, RfError());
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    ASSERT_FALSE(r.Rows.empty());
    EXPECT_EQ(r.Rows[0].Kind, TRowKind::Spot);
    EXPECT_EQ(r.Rows[0].Caption, "Spot 1");
    EXPECT_EQ(r.Rows[1].Caption, "Atranorin");
    // Gyr has three characters and is skipped; Lonely acid is in no lichen;
    // Far acid is outside the tolerance; the stored 0 of Norstictic acid is no value.
    EXPECT_EQ(Substances(r), (std::map<QString, float>{{"Atranorin", 4}, {"Usnic acid", 2}, {"Zeorin", 2},
                                                        {"Norstictic acid", 2}, {"Case acid", 2},
                                                        {"O'Brien's acid", 1}}));
}

TEST_F(EngineTest, CorrelationRanksByValue)
{
    const TMatchResult r = Run({Spot("Spot 1", {{A, "30"}, {C, "45"}})}, Correlation());
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_EQ(r.Rows[1].Caption, "Atranorin");
    EXPECT_EQ(Substances(r), (std::map<QString, float>{{"Atranorin", 132.3f}, {"Zeorin", 105}, {"Gyr", 105},
                                                        {"Norstictic acid", 105}, {"Case acid", 105},
                                                        {"O'Brien's acid", 85}, {"Usnic acid", 50.7f}}));
}

TEST_F(EngineTest, OtherSortColumnOrdersByName)
{
    const int before = SortColumn;
    const TMatchResult r = Run({Spot("Spot 1", {{A, "30"}, {C, "45"}})}, RfError(), 0);
    QStringList names;
    for (const TMatchRow& row : r.Rows)
        if (row.Kind == TRowKind::Substance)
            names << row.Caption;
    // The name key starts at the first two adjacent letters: "BRIEN'S ACID".
    EXPECT_EQ(names, (QStringList{"Atranorin", "O'Brien's acid", "Case acid", "Norstictic acid", "Usnic acid",
                                  "Zeorin"}));
    EXPECT_EQ(SortColumn, before);
}

TEST_F(EngineTest, SpotsAreListedInOrderEachWithItsSubstances)
{
    const TMatchResult r = Run({Spot("Spot 1", {{A, "60"}}), Spot("Spot 2", {}), Spot("Spot 3", {{HPLC, "12"}})},
                               RfError());
    ASSERT_FALSE(r.Failed);
    QStringList captions;
    for (const TMatchRow& row : r.Rows)
        captions << row.Caption;
    EXPECT_EQ(captions, (QStringList{"Spot 1", "Far acid", "Spot 2", "Spot 3", "Case acid"}));
    EXPECT_TRUE(Run({}, RfError()).Rows.empty());
}

TEST_F(EngineTest, CuneCorrectedCopyStandsInForTheSpot)
{
    TMatchSettings s = RfError("0");
    s.ApplyCune = true;
    s.CuneControls = {Spot("Control", {{A, "50"}}), Spot("Control", {{A, "40"}})};
    const TMatchResult r = Run({Spot("Spot 1", {{A, "24"}})}, s);  // 24 * 1.25 = 30
    ASSERT_FALSE(r.Failed);
    ASSERT_GE(r.Rows.size(), 2u);
    EXPECT_EQ(r.Rows[0].Kind, TRowKind::Spot);
    EXPECT_EQ(r.Rows[0].Record.A, "24");
    EXPECT_EQ(r.Rows[1].Kind, TRowKind::CuneSpot);
    EXPECT_EQ(r.Rows[1].Caption, "Spot 1 - Cune");
    EXPECT_EQ(r.Rows[1].Record.A, "30");
    EXPECT_EQ(Substances(r), (std::map<QString, float>{{"Atranorin", 2}, {"Zeorin", 2}, {"Norstictic acid", 2},
                                                        {"Case acid", 2}}));

    s.CuneControls.clear();  // no controls: the cune row repeats the spot
    const TMatchResult plain = Run({Spot("Spot 1", {{A, "24"}})}, s);
    EXPECT_EQ(plain.Rows[1].Record.A, "24");
    EXPECT_TRUE(Substances(plain).empty());
}

TEST_F(EngineTest, ThallusReactionsOfTheConfigurationAreMatchedButNotListed)
{
    TMatchSettings s = RfError();
    s.UseThallus = true;
    s.ThallusTexts = {"Red", "", "", "", "", ""};
    const TSubstanceRecord spot = Spot("Spot 1", {{A, "30"}, {C, "45"}});
    TMatchResult r = Run({spot}, s);
    EXPECT_EQ(r.Rows[0].Record.KResult, "");
    EXPECT_EQ(Substances(r).count("Atranorin"), 0u);  // K Yellow against Red
    EXPECT_EQ(Substances(r).count("Zeorin"), 1u);     // no K reaction: not tested

    s.ThallusTexts[0] = "Yellow";
    EXPECT_EQ(Substances(Run({spot}, s)).count("Atranorin"), 1u);
    EXPECT_EQ(WithThallusReactions(spot, s).KResult, "Yellow");
}

TEST_F(EngineTest, GenusAndGroupFilters)
{
    struct Case { const char* what; TNameFilter genus, group; std::set<QString> names; };
    const Case cases[] = {
        {"genus", {true, {"Parmelia"}}, {}, {"Atranorin", "Norstictic acid"}},
        {"genus by other lichen row", {true, {"Cladonia"}}, {}, {"Atranorin", "Case acid"}},
        {"genus with apostrophe", {true, {"D'Arcy"}}, {}, {"O'Brien's acid"}},
        {"group", {}, {true, {"Depsides", "Terpenoids"}}, {"Atranorin", "Zeorin"}},
        {"group with apostrophe", {}, {true, {"Brien's group"}}, {"O'Brien's acid"}},
        {"both", {true, {"Parmelia"}}, {true, {"Depsidones"}}, {"Norstictic acid"}},
        {"inactive filter", {false, {"Usnea"}}, {}, {"Atranorin", "Usnic acid", "Zeorin", "Norstictic acid",
                                                     "Case acid", "O'Brien's acid"}},
        {"empty selection", {true, {}}, {}, {}},
    };
    for (const Case& c : cases) {
        TMatchSettings s = RfError();
        s.Genus = c.genus;
        s.Group = c.group;
        const TMatchResult r = Run({Spot("Spot 1", {{A, "30"}, {C, "45"}})}, s);
        ASSERT_FALSE(r.Failed) << c.what << ": " << r.Error.toStdString();
        std::set<QString> names;
        for (const auto& [name, score] : Substances(r))
            names.insert(name);
        EXPECT_EQ(names, c.names) << c.what;
    }
}

TEST_F(EngineTest, FailedRunKeepsTheRowsSoFar)
{
    struct Case { const char* what; TMatchSettings settings; };
    TMatchSettings badTolerance = RfError("two");
    TMatchSettings emptyTolerance = RfError("");
    TMatchSettings zeroFactor = Correlation("0");
    TMatchSettings decimalFactor = Correlation("5.5");
    TMatchSettings emptyFactor = Correlation("");  // the query takes the tolerance, the step raises
    TMatchSettings badCell = RfError();
    badCell.UseThallus = true;
    const Case cases[] = {{"bad tolerance", badTolerance},  {"empty tolerance", emptyTolerance},
                          {"zero factor", zeroFactor},
                          {"decimal factor", decimalFactor}, {"empty factor", emptyFactor},
                          {"similarity cell", badCell}};
    matrix[0].Similarity[6] = "n/a";  // No Result against Yellow, read for Atranorin's K
    for (const Case& c : cases) {
        const TMatchResult r =
            Run({Spot("Spot 1", {}), Spot("Spot 2", {{A, "30"}, {C, "45"}}), Spot("Spot 3", {{A, "30"}})},
                c.settings);
        EXPECT_TRUE(r.Failed) << c.what;
        EXPECT_FALSE(r.Error.isEmpty()) << c.what;
        QStringList captions;
        for (const TMatchRow& row : r.Rows)
            captions << row.Caption;
        EXPECT_EQ(captions, (QStringList{"Spot 1", "Spot 2"})) << c.what;
    }
}

TEST_F(EngineTest, DecimalToleranceIsAccepted)
{
    // Stands as 1.5 in the statement, counts as 0 for the points.
    const TMatchResult r = Run({Spot("Spot 1", {{A, "30"}})}, RfError("1.5"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_EQ(Substances(r), (std::map<QString, float>{{"Atranorin", 2}, {"Zeorin", 2}, {"Norstictic acid", 2},
                                                        {"Case acid", 2}}));
}

TEST_F(EngineTest, ScoringMethodsCanBeCalledForOneSpot)
{
    const TSubstanceRecord spot = Spot("Spot 1", {{A, "30"}, {C, "45"}});
    const std::vector<TMatchRow> rows = MatchByCorrelation(spot, Correlation(), matrix, query, 100);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().Caption, "Atranorin");
    EXPECT_EQ(rows.front().Score, 132.3f);
    EXPECT_THROW(MatchByRfError(spot, RfError("x"), matrix, query, 100), EDatabaseError);
    EXPECT_TRUE(MatchByRfError(Spot("Spot 2", {}), RfError("x"), matrix, query, 100).empty());
}

} // namespace
