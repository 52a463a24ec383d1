// The lichen update against a scripted portal: request order, the rows and
// the backup, the dates file, and every way a download or a statement can
// fail without losing the table.
#include "UpdateTestKit.h"
#include "support/FakeHttpServer.h"
#include "support/QtPrinters.h"
#include "update/LichenUpdate.h"

#include <deque>
#include <set>
#include <string>

namespace {

const QString Portal = "http://portal.test";

QString AttributeTarget(const char* id)
{
    return QString("/portal/api/v2/morphology/") + id + "/attribute?limit=10000&offset=0";
}

// Two pairs for every attribute, over 1000 bytes in all.
std::vector<QByteArray> RegularRecords(const char* id)
{
    return MorphologyRecords({{QString("Atranorin ") + id, "Cladonia rangiferina"}, {"usnic acid", "Usnea hirta"}});
}

// The answer of the portal to the first request for an attribute.
QByteArray RegularAnswer(const char* id)
{
    return PortalListAnswer(RegularRecords(id), AttributeTarget(id));
}

class LichenUpdateTest : public UpdateTest {
protected:
    void SetUp() override
    {
        UpdateTest::SetUp();
        db.InsertLichen("Old lichen", "Old substance", "Old");
        db.InsertLichen("Lecanora", "Zeorin", "Lecanora");
        for (const char* id : MorphologyAttributeIds)
            lists[AttributePath(id)] = RegularRecords(id);
    }

    // The portal answers every request as the real one does, unless the
    // test gives the answer of that request.
    TUpdateOutcome Run()
    {
        TUpdateContext context{connection,
                               [this](const QString& address) {
                                   requests << address;
                                   const int n = int(requests.size());
                                   if (answerAt.count(n))
                                       return answerAt[n];
                                   const QString target = address.mid(Portal.size());
                                   return PortalListAnswer(lists[target.section('?', 0, 0)], target);
                               },
                               progress, Portal};
        return RunLichenUpdate(context);
    }

    QStringList OldRows() const { return {"Old lichen|Old substance|Old", "Lecanora|Zeorin|Lecanora"}; }
    // The engine settings of the update's connection that the making of
    // the indexes changes for its sorting.
    QStringList SorterSettings()
    {
        QStringList values;
        for (const char* name : {"threads", "cache_size", "cache_spill"}) {
            TSQLQuery q(&connection);
            q.SQL = QString("PRAGMA ") + name;
            q.Open();
            values << name + QString("=") + q.FieldByName(name).AsString();
        }
        return values;
    }
    QStringList Lichens() { return TableRows("SELECT Lichen, Substance, Genus FROM Lichens ORDER BY rowid"); }
    QStringList Backup() { return TableRows("SELECT Lichen, Substance, Genus FROM LichensBackup ORDER BY rowid"); }

    std::map<QString, std::vector<QByteArray>> lists;   // the records under each attribute path
    std::map<int, QByteArray> answerAt;   // the answer of the n-th request, counted from 1
    QStringList requests;
};

TEST_F(LichenUpdateTest, ReplacesTheRowsKeepsABackupAndRecordsTheDate)
{
    db.InsertSubstance({{"name", "usnic acid"}, {"Lichens", "Usnea HIRTA, Parmelia sulcata, P. saxatilis"}});
    db.InsertSubstance({{"name", "Zeorin"}, {"Lichens", "Lecanora sp."}});

    EXPECT_EQ(Run(), TUpdateOutcome::Complete);

    QStringList expectedRequests;
    for (const char* id : MorphologyAttributeIds)
        expectedRequests << Portal + AttributeTarget(id);
    EXPECT_EQ(requests, expectedRequests);

    QStringList expectedRows;
    for (const char* id : MorphologyAttributeIds)
        expectedRows << QString("Cladonia rangiferina|Atranorin %1|Cladonia").arg(id)
                     << "Usnea hirta|usnic acid|Usnea";
    // Usnea HIRTA is held already (compared without case); Lecanora with
    // Zeorin was not downloaded and so is added again.
    expectedRows << "Parmelia sulcata|usnic acid|Parmelia"
                 << "P saxatilis|usnic acid|Parmelia" << "Lecanora|Zeorin|Lecanora";
    EXPECT_EQ(Lichens(), expectedRows);
    EXPECT_EQ(Backup(), OldRows());

    EXPECT_EQ(DatesFile(), QByteArray("Substances\t0\r\nLichens\t1700000000"));
    EXPECT_EQ(LichenDataDate, QByteArray("1700000000"));
    EXPECT_EQ(Messages(), QStringList({"Complete"}));

    QList<int> expectedPositions;
    for (int step = 1; step <= 24; ++step)
        expectedPositions << step * 100 / 25;
    EXPECT_EQ(progress.Positions, expectedPositions);
    EXPECT_EQ(progress.Events.mid(0, 3),
              QStringList({"caption:Lichen update", "label:Downloading data...", "process"}));
    EXPECT_TRUE(progress.Events.contains("label:Importing data..."));
    EXPECT_TRUE(progress.Events.contains("label:Reconciling data..."));
    EXPECT_EQ(progress.Events.last(), "hide");
}

TEST_F(LichenUpdateTest, KeepsTheSubstanceDateTheFileAlreadyRecords)
{
    QFile file(db.Dir() + "/UpdateDates.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Substances\t1600000000\r\nLichens\t5");
    file.close();

    EXPECT_EQ(Run(), TUpdateOutcome::Complete);
    EXPECT_EQ(DatesFile(), QByteArray("Substances\t1600000000\r\nLichens\t1700000000"));
    EXPECT_EQ(QDir(db.Dir()).entryList({"UpdateDates*"}, QDir::Files | QDir::Hidden),
              QStringList({"UpdateDates.txt"})) << "no temporary file left behind";
}

struct BadAnswerCase {
    const char* title;
    int at;              // which request answers badly
    QByteArray answer;
    const char* message;
    TUpdateOutcome outcome;
};

void PrintTo(const BadAnswerCase& c, std::ostream* os) { *os << c.title; }

class LichenBadAnswer : public LichenUpdateTest, public ::testing::WithParamInterface<BadAnswerCase> {};

TEST_P(LichenBadAnswer, StopsWithTheTableUntouched)
{
    const BadAnswerCase& c = GetParam();
    answerAt[c.at] = c.answer;

    EXPECT_EQ(Run(), c.outcome);
    EXPECT_EQ(requests.size(), c.at) << "no request after the bad answer";
    EXPECT_EQ(Lichens(), OldRows());
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'LichensBackup'"), "0");
    EXPECT_EQ(Messages(), QStringList({c.message}));
    EXPECT_FALSE(progress.Visible);
    EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    EXPECT_EQ(LichenDataDate, QByteArray("0"));
}

const char* const Failed = "Data download failed. Database unchanged.";
const char* const Corrupt = "Downloaded data corrupt.  Please try again.";

INSTANTIATE_TEST_SUITE_P(Cases, LichenBadAnswer, ::testing::Values(
    BadAnswerCase{"empty first answer", 1, "", Failed, TUpdateOutcome::DownloadFailed},
    BadAnswerCase{"empty fifth answer", 5, "", Failed, TUpdateOutcome::DownloadFailed},
    BadAnswerCase{"empty last answer", 23, "", Failed, TUpdateOutcome::DownloadFailed},
    BadAnswerCase{"internet switched off", 1, "Error", Failed, TUpdateOutcome::DownloadFailed},
    BadAnswerCase{"error page", 3, "{\"status\":\"not found\"}", Failed, TUpdateOutcome::DownloadFailed},
    BadAnswerCase{"body cut off", 2, RegularAnswer("236").left(150), Failed, TUpdateOutcome::DownloadFailed},
    BadAnswerCase{"more substances than lichens", 4,
                  "{\"offset\":0,\"limit\":10000,\"count\":2,\"results\":[{\"charStateName\":\"a\",\"sciname\":\"Aa bb\"},"
                  "{\"charStateName\":\"b\"}]}",
                  Corrupt, TUpdateOutcome::DataCorrupt},
    BadAnswerCase{"not JSON", 6, RegularAnswer("254").replace(",\"", "\""), Corrupt, TUpdateOutcome::DataCorrupt}),
    TitleName());

struct GateCase {
    int length;
    TUpdateOutcome outcome;
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.length << " bytes"; }

class LichenLengthGate : public LichenUpdateTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(LichenLengthGate, NeedsAThousandBytesOfRows)
{
    // One row ("Aa","S","Aa") of 15 bytes per attribute, the last one
    // lengthened by digits that do not change its genus.
    const int base = 23 * 16 - 1;
    const int extra = GetParam().length - base - 1;
    for (size_t i = 0; i < MorphologyAttributeIds.size(); ++i) {
        const QString lichen = i + 1 < MorphologyAttributeIds.size() ? "Aa" : "Aa " + QString(extra, '1');
        lists[AttributePath(MorphologyAttributeIds[i])] = MorphologyRecords({{"S", lichen}});
    }
    EXPECT_EQ(Run(), GetParam().outcome);
    if (GetParam().outcome == TUpdateOutcome::Complete) {
        EXPECT_EQ(db.Count("Lichens"), 23);
        EXPECT_EQ(Messages(), QStringList({"Complete"}));
    } else {
        EXPECT_EQ(Lichens(), OldRows());
        EXPECT_EQ(Messages(), QStringList({Failed}));
    }
}

INSTANTIATE_TEST_SUITE_P(Bytes, LichenLengthGate,
                         ::testing::Values(GateCase{999, TUpdateOutcome::DownloadFailed},
                                           GateCase{1000, TUpdateOutcome::Complete}),
                         [](const ::testing::TestParamInfo<GateCase>& info) {
                             return "Of" + std::to_string(info.param.length);
                         });

TEST_F(LichenUpdateTest, ARejectedInsertLeavesTableAndBackupAsTheyWereTwice)
{
    db.Exec("CREATE TRIGGER RejectOne BEFORE INSERT ON Lichens WHEN NEW.Lichen = 'Bad lichen' "
            "BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    lists[AttributePath("260")] = MorphologyRecords({{"Atranorin", "Bad lichen"}});

    for (int round = 1; round <= 2; ++round) {
        TestDialogs().Reset();
        EXPECT_EQ(Run(), TUpdateOutcome::TableRestored) << round;
        EXPECT_EQ(Lichens(), OldRows()) << round;
        EXPECT_EQ(Backup(), OldRows()) << round;
        EXPECT_EQ(Messages(), QStringList({"Unable to update Lichen database.  Backup will be restored.",
                                           "Backup restored"})) << round;
        EXPECT_FALSE(progress.Visible);
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
        EXPECT_EQ(LichenDataDate, QByteArray("0"));
    }
}

// RAISE(ROLLBACK) ends the transaction inside the engine: the table holds its
// old rows at once, so no restore is tried (it would fail on the same
// trigger) and no failure to restore is reported; twice in a row, with the
// backup as it was.
TEST_F(LichenUpdateTest, AnInsertRolledBackByTheEngineLeavesTheOldRowsWithoutARestore)
{
    db.Exec("CREATE INDEX OldLichenIndex ON Lichens(Lichen)");
    db.Exec("CREATE TRIGGER Reject BEFORE INSERT ON Lichens BEGIN SELECT RAISE(ROLLBACK, 'rejected'); END");
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        TestDialogs().Reset();
        EXPECT_EQ(Run(), TUpdateOutcome::TableRestored);
        EXPECT_EQ(Lichens(), OldRows());
        EXPECT_EQ(Backup(), OldRows());
        EXPECT_EQ(Messages(), QStringList({"Unable to update Lichen database.  Backup will be restored.",
                                           "Backup restored"}));
        EXPECT_FALSE(connection.InTransaction());
        EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'OldLichenIndex'"), "1");
        EXPECT_FALSE(progress.Visible);
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
        EXPECT_EQ(LichenDataDate, QByteArray("0"));
    }
}

// The table's indexes are dropped for the inserts and made again: the same
// definitions afterwards, the same rows as without them, and a failure puts
// them back with the rows. The program's own indexes are made where they
// are missing, and the one of earlier versions they replace is not made
// again, all inside the update (matching never changes them).
TEST_F(LichenUpdateTest, KeepsTheTableIndexesAndTheirDefinitions)
{
    db.InsertSubstance({{"name", "usnic acid"}, {"Lichens", "Usnea HIRTA, Parmelia sulcata, P. saxatilis"}});
    db.Exec("CREATE INDEX \"Lichen \"\"names\"\"\" ON Lichens(Lichen)");
    db.Exec("CREATE INDEX LichensBySubstance ON Lichens (Substance, Lichen)");
    db.Exec("CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)");
    db.Exec("CREATE TABLE Other (x)");
    db.Exec("CREATE INDEX OtherIndex ON Other(x)");
    const QString definitions =
        "SELECT name || ':' || sql FROM sqlite_schema WHERE type = 'index' ORDER BY name";
    const QStringList before = TableRows(definitions);
    ASSERT_EQ(before.size(), 4);
    QStringList updated = before;
    updated.removeAll("LichensSubstanceNoCase:CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)");
    updated << "LichensLichen:CREATE INDEX LichensLichen ON Lichens(Lichen)"
            << "LichensSubstanceLichen:CREATE INDEX LichensSubstanceLichen ON Lichens(Substance COLLATE NOCASE, Lichen)";
    updated.sort();
    ASSERT_EQ(updated.size(), 5);

    // The engine settings the index building changes are the connection's
    // own again afterwards.
    auto settings = [this] { return SorterSettings(); };
    const QStringList connectionSettings = settings();
    ASSERT_EQ(connectionSettings[1], "cache_size=-65536");

    EXPECT_EQ(Run(), TUpdateOutcome::Complete);
    EXPECT_EQ(TableRows(definitions), updated);
    EXPECT_EQ(settings(), connectionSettings);
    EXPECT_EQ(db.Scalar("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(db.Count("Lichens"), 48);
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Lichens INDEXED BY LichensBySubstance WHERE Substance = 'usnic acid'"),
              "25");

    // A rejected insert: rows and indexes as they were.
    const QStringList rows = Lichens();
    db.Exec("CREATE TRIGGER RejectOne BEFORE INSERT ON Lichens WHEN NEW.Lichen = 'Bad lichen' "
            "BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    lists[AttributePath("260")] = MorphologyRecords({{"Atranorin", "Bad lichen"}});
    TestDialogs().Reset();
    EXPECT_EQ(Run(), TUpdateOutcome::TableRestored);
    EXPECT_EQ(Lichens(), rows);
    EXPECT_EQ(TableRows(definitions), updated);
    EXPECT_EQ(settings(), connectionSettings);
}
// The sorting settings are set back also when making an index fails: a
// unique index on the lichen names cannot be made again over the download,
// which names "Usnea hirta" under every attribute.
TEST_F(LichenUpdateTest, AnIndexThatCannotBeMadeAgainLeavesRowsIndexesAndSettingsAsTheyWere)
{
    db.Exec("CREATE UNIQUE INDEX OneRowEachLichen ON Lichens(Lichen)");
    const QString indexes = "SELECT name || ':' || sql FROM sqlite_schema WHERE type = 'index' ORDER BY name";
    const QStringList indexesBefore = TableRows(indexes);
    const QStringList settingsBefore = SorterSettings();

    EXPECT_EQ(Run(), TUpdateOutcome::TableRestored);
    EXPECT_EQ(Lichens(), OldRows());
    EXPECT_EQ(TableRows(indexes), indexesBefore);
    EXPECT_EQ(SorterSettings(), settingsBefore);
    EXPECT_EQ(Messages(), QStringList({"Unable to update Lichen database.  Backup will be restored.",
                                       "Backup restored"}));
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_EQ(DatesFile(), QByteArray("<none>"));
}

TEST_F(LichenUpdateTest, AFailedBackupCopyKeepsTheLastGoodBackup)
{
    // A backup table of another shape makes the copy fail after its DELETE.
    db.Exec("CREATE TABLE LichensBackup (Lichen TEXT NOT NULL, Substance TEXT NOT NULL)");
    db.Exec("INSERT INTO LichensBackup VALUES ('Kept', 'Backup')");

    EXPECT_EQ(Run(), TUpdateOutcome::BackupFailed);
    EXPECT_EQ(Lichens(), OldRows());
    EXPECT_EQ(TableRows("SELECT * FROM LichensBackup"), QStringList({"Kept|Backup"}));
    EXPECT_EQ(Messages(), QStringList({"Unable to create backup.  Update cancelled"}));
    EXPECT_FALSE(progress.Visible);
}

TEST_F(LichenUpdateTest, AFailingReconciliationKeepsTheDownloadAndSetsNoDate)
{
    db.InsertSubstance({{"name", "usnic acid"}, {"Lichens", "Usnea alpina, Parmelia sulcata"}});
    db.Exec("CREATE TRIGGER RejectNamed BEFORE INSERT ON Lichens WHEN NEW.Lichen = 'Parmelia sulcata' "
            "BEGIN SELECT RAISE(ABORT, 'rejected'); END");

    EXPECT_EQ(Run(), TUpdateOutcome::FinishFailed);
    EXPECT_EQ(db.Count("Lichens"), 46) << "downloaded rows kept, the reconciled one rolled back";
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Lichens WHERE Lichen = 'Usnea alpina'"), "0");
    EXPECT_EQ(Backup(), OldRows());
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].startsWith("Unable to add the lichens named in the substance records"));
    EXPECT_FALSE(progress.Visible);
    EXPECT_EQ(DatesFile(), QByteArray("<none>"));
}

// The named lichens are added in the replacement's transaction: when the
// engine ends that transaction itself, the download goes with it, and the
// user is told that the old rows are back, which they are.
TEST_F(LichenUpdateTest, ANamedLichenRolledBackByTheEngineLeavesTheOldRows)
{
    db.InsertSubstance({{"name", "usnic acid"}, {"Lichens", "Usnea alpina, Parmelia sulcata"}});
    db.Exec("CREATE TRIGGER RejectNamed BEFORE INSERT ON Lichens WHEN NEW.Lichen = 'Parmelia sulcata' "
            "BEGIN SELECT RAISE(ROLLBACK, 'rejected'); END");

    EXPECT_EQ(Run(), TUpdateOutcome::TableRestored);
    EXPECT_EQ(Lichens(), OldRows());
    EXPECT_EQ(Backup(), OldRows());
    EXPECT_EQ(Messages(), QStringList({"Unable to update Lichen database.  Backup will be restored.",
                                       "Backup restored"}));
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_EQ(DatesFile(), QByteArray("<none>"));
}

TEST_F(LichenUpdateTest, NamesWithQuotesAndWildcardsAreValuesNotSql)
{
    db.InsertSubstance({{"name", "acid \"x\" 5%"}, {"Lichens", "Usnea hirta"}});
    db.InsertSubstance({{"name", "acid_y"}, {"Lichens", "Usnea hirta"}});
    lists[AttributePath("235")] = MorphologyRecords({{"Atranorin", "Cladonia rangiferina"}, {"acidXy", "Usnea hirta"}});

    EXPECT_EQ(Run(), TUpdateOutcome::Complete);
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Lichens WHERE Substance = 'acid \"x\" 5%'"), "1");
    // "acid_y" matches the downloaded "acidXy" as LIKE does: nothing added.
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Lichens WHERE Substance = 'acid_y'"), "0");
}

TEST_F(LichenUpdateTest, ASecondUpdateCannotStartWhileOneRuns)
{
    TUpdateOutcome inner = TUpdateOutcome::Complete;
    bool tried = false;
    progress.OnProcessMessages = [&] {
        if (tried)
            return;
        tried = true;
        RecordingProgress other;
        TUpdateContext context{connection, [](const QString&) { return QByteArray(); }, other, Portal};
        inner = RunLichenUpdate(context);
    };
    EXPECT_EQ(Run(), TUpdateOutcome::Complete);
    EXPECT_EQ(inner, TUpdateOutcome::AlreadyRunning);
    EXPECT_FALSE(UpdateIsRunning());
}

// The records of one attribute, each a substance and lichen of its own,
// numbered from `firstId`; record `nothing` names neither.
std::vector<QByteArray> PagedRecords(int records, int nothing = -1, int firstId = 1)
{
    std::vector<std::pair<QString, QString>> pairs;
    for (int r = 0; r < records; ++r)
        pairs.push_back(r == nothing ? std::pair<QString, QString>()
                                     : std::pair(QString("Paged substance %1").arg(firstId + r),
                                                 QString("Pagedgenus lichen%1").arg(firstId + r)));
    return MorphologyRecords(pairs, firstId);
}

// The same update over real HTTP against the local fake portal, which pages
// as the real portal does.
class LichenUpdateOverHttp : public LichenUpdateTest {
protected:
    TUpdateOutcome RunOverHttp()
    {
        for (const char* id : MorphologyAttributeIds)
            if (!cut.count(id) && !custom.count(id))
                ServePortalList(server, AttributePath(id), lists[AttributePath(id)]);
        for (const auto& [id, bytes] : cut)
            server.Route(AttributeTarget(id.c_str()), FakeResponse::Cut(RegularAnswer(id.c_str()), bytes));
        // Should the update never stop asking, the test still ends.
        int fetched = 0;
        auto fetch = [&fetched](const QString& address) {
            return ++fetched > RequestGuard ? QByteArray() : FetchLikeProgram(address);
        };
        TUpdateContext context{connection, fetch, progress, server.BaseAddress()};
        return RunLichenUpdate(context);
    }
    static constexpr int RequestGuard = 500;

    static QString PageTarget(const char* id, qint64 offset)
    {
        return AttributePath(id) + "?limit=10000&offset=" + QString::number(offset);
    }

    QStringList AttributeRequests(const char* id) const
    {
        QStringList requests;
        for (const QString& target : server.Requests())
            if (target.startsWith(AttributePath(id) + "?"))
                requests << target;
        return requests;
    }

    // The rows of the paged records, and how many of them differ.
    std::pair<int, int> PagedRows()
    {
        const QStringList counts = TableRows("SELECT count(*), count(DISTINCT Substance) FROM Lichens "
                                             "WHERE Lichen LIKE 'Pagedgenus %' AND Genus = 'Pagedgenus'");
        return {counts[0].section('|', 0, 0).toInt(), counts[0].section('|', 1, 1).toInt()};
    }

    // The requests of every attribute, those of 254 at `offsets`.
    static QStringList ExpectedRequests(const QList<qint64>& offsets)
    {
        QStringList expected;
        for (const char* id : MorphologyAttributeIds) {
            if (QByteArray(id) != "254") {
                expected << AttributeTarget(id);
                continue;
            }
            for (qint64 offset : offsets)
                expected << PageTarget(id, offset);
        }
        return expected;
    }

    FakeHttpServer server;
    std::map<std::string, int> cut;
    std::set<std::string> custom;   // attributes the test serves itself
};

// An attribute of more records than one request asks for comes page by
// page, each later one asked for from the last record received (which is
// not stored twice), until the count says all have come. A record without a
// substance or lichen still counts, also where two pages meet.
TEST_F(LichenUpdateOverHttp, AsksForTheNextPageWhileTheCountSaysMore)
{
    struct Case {
        const char* name;
        std::vector<QByteArray> records;
        QList<qint64> offsets;   // the pages asked for attribute 254
        int pairs;               // the rows they give
    };
    const Case cases[] = {
        {"25,000 records", PagedRecords(25000), {0, 9999, 19998}, 25000},
        {"10,037 records", PagedRecords(10037), {0, 9999}, 10037},
        {"a full page that the count says is all", PagedRecords(10000), {0}, 10000},
        {"9,999 records", PagedRecords(9999), {0}, 9999},
        {"a full page with a record of no pair", PagedRecords(10037, 1234), {0, 9999}, 10036},
        {"a record of no pair where two pages meet", PagedRecords(10037, 9999), {0, 9999}, 10036},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialogs().Reset();
        server.ClearRequests();
        lists[AttributePath("254")] = c.records;

        EXPECT_EQ(RunOverHttp(), TUpdateOutcome::Complete);
        EXPECT_EQ(server.Requests(), ExpectedRequests(c.offsets));
        EXPECT_EQ(db.Count("Lichens"), 44 + c.pairs);
        EXPECT_EQ(PagedRows(), std::pair(c.pairs, c.pairs));
        EXPECT_EQ(Messages(), QStringList({"Complete"}));
        EXPECT_EQ(progress.Positions.mid(0, 23).last(), 92) << "one step per attribute, not per page";
        progress.Positions.clear();
    }
}

// Portals that do not page as the real one does. Each either gives every
// record once or ends the update with the corrupt message before any table
// is touched.
struct PortalBehaviour {
    const char* title;
    int records;                 // entries the attribute has
    // The answer to a request for attribute 254 (`request` counts them from 1).
    std::function<QByteArray(const std::vector<QByteArray>& records, PortalQuery asked, int request)> answer;
    TUpdateOutcome outcome;
    int requests;                // for attribute 254
    int pairs = 0;               // rows of it, each once, when complete
    std::vector<int> notObjects = {};   // entries that are no record
    std::vector<int> withoutPair = {};  // records that name neither substance nor lichen
};

void PrintTo(const PortalBehaviour& c, std::ostream* os) { *os << c.title; }

qint64 Total(const std::vector<QByteArray>& records) { return qint64(records.size()); }

QByteArray RealPage(const std::vector<QByteArray>& records, PortalQuery asked, qint64 count)
{
    return PortalEnvelope(asked, count, records, asked.Offset, asked.Offset + asked.Limit);
}

// The real page, from the second request on with `from` replaced by `to`.
QByteArray ChangedLaterPage(const std::vector<QByteArray>& records, PortalQuery asked, int request,
                            const QByteArray& from, const QByteArray& to)
{
    QByteArray page = RealPage(records, asked, Total(records));
    return request == 1 ? page : page.replace(from, to);
}

// A record of a pair that the list does not hold.
const QByteArray StrayRecord = MorphologyRecords({{"Stray substance", "Pagedgenus stray"}}, 90000)[0];

// Records 10,001 to 10,009 of a list of 10,010 name no pair: the second page
// holds more records than pairs, so one record too many that is read from
// its text still fits the count of pairs.
const std::vector<int> NineWithoutPair = {10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008, 10009};

const PortalBehaviour PortalBehaviours[] = {
    {"real envelope 25000 records", 25000,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, Total(r)); },
     TUpdateOutcome::Complete, 3, 25000},
    {"ignores offset and echoes it", 25000,
     [](const auto& r, PortalQuery q, int) { return PortalEnvelope(q, Total(r), r, 0, q.Limit); },
     TUpdateOutcome::DataCorrupt, 2},
    {"ignores offset without a count", 25000,
     [](const auto& r, PortalQuery q, int) { return PortalEnvelope(q, -1, r, 0, q.Limit); },
     TUpdateOutcome::DataCorrupt, 2},
    {"ignores limit", 25000,
     [](const auto& r, PortalQuery q, int) { return PortalEnvelope(q, Total(r), r, q.Offset, Total(r)); },
     TUpdateOutcome::Complete, 1, 25000},
    {"ignores limit without a count", 25000,
     [](const auto& r, PortalQuery q, int) { return PortalEnvelope(q, -1, r, q.Offset, Total(r)); },
     TUpdateOutcome::Complete, 2, 25000},
    {"caps its pages at 5000", 25000,
     [](const auto& r, PortalQuery q, int) { return PortalEnvelope(q, Total(r), r, q.Offset, q.Offset + 5000); },
     TUpdateOutcome::Complete, 6, 25000},
    {"count lower than a full page", 10037,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, 5000); },
     TUpdateOutcome::Complete, 2, 10037},
    // Its last page brings the repeated record alone while its count says
    // there are more.
    {"count beyond the records", 10037,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, 30000); },
     TUpdateOutcome::DataCorrupt, 3},
    {"cut short after the repeated record while its count says more", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, Total(r)) : PortalEnvelope(q, Total(r), r, q.Offset, q.Offset + 1);
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"the repeated record alone with a count of what has come", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, -1) : PortalEnvelope(q, 10000, r, q.Offset, q.Offset + 1);
     },
     TUpdateOutcome::Complete, 2, 10000},
    // A later page that keeps back the count believed so far cannot end the
    // list short of it.
    {"the count left out after the repeated record", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, Total(r)) : PortalEnvelope(q, -1, r, q.Offset, q.Offset + 1);
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"a lower count after the repeated record", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, Total(r)) : PortalEnvelope(q, 5000, r, q.Offset, q.Offset + 1);
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"the count falls to what has come after the repeated record", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, Total(r)) : PortalEnvelope(q, 10000, r, q.Offset, q.Offset + 1);
     },
     TUpdateOutcome::Complete, 2, 10000},
    {"no count, a full page then none", 10000,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, -1); },
     TUpdateOutcome::Complete, 2, 10000},
    {"entries that are not objects", 10037,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, Total(r)); },
     TUpdateOutcome::Complete, 2, 10033, {17, 4000, 9998, 9999}},
    {"more records than its count said before", 25000,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, 15000); },
     TUpdateOutcome::DataCorrupt, 2},
    {"an empty results list before the real one", 25000,
     [](const auto& r, PortalQuery q, int) {
         return RealPage(r, q, Total(r)).replace("\"results\":[", "\"results\":[],\"results\":[");
     },
     TUpdateOutcome::Complete, 3, 25000},
    {"an empty results list after the real one", 25000,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, Total(r)).chopped(1) + ",\"results\":[]}"; },
     TUpdateOutcome::DataCorrupt, 1},
    {"the list key spelled with an escape", 25000,
     [](const auto& r, PortalQuery q, int) {
         return RealPage(r, q, Total(r)).replace("\"results\":", "\"res\\u0075lts\":");
     },
     TUpdateOutcome::Complete, 3, 25000},
    {"a list of its own before the list key spelled with an escape", 10010,
     [](const auto& r, PortalQuery q, int request) {
         return ChangedLaterPage(r, q, request, "\"results\":[",
                                 "\"results\":[" + StrayRecord + "],\"res\\u0075lts\":[");
     },
     TUpdateOutcome::DataCorrupt, 2, 0, {}, NineWithoutPair},
    // The record without a pair makes room under the limit of pairs for the
    // decoy's.
    {"a list of its own before the results list on the first page", 5001,
     [](const auto& r, PortalQuery q, int) {
         return RealPage(r, q, Total(r)).replace("\"results\":[", "\"results\":[" + StrayRecord + "],\"results\":[");
     },
     TUpdateOutcome::DataCorrupt, 1, 0, {}, {5000}},
    {"a list of its own before the results list", 10010,
     [](const auto& r, PortalQuery q, int request) {
         return ChangedLaterPage(r, q, request, "\"results\":[", "\"results\":[" + StrayRecord + "],\"results\":[");
     },
     TUpdateOutcome::DataCorrupt, 2, 0, {}, NineWithoutPair},
    // The decoding drops the comma before the closing quote of "results,".
    {"a list after the results list under a key that ends in a comma", 10010,
     [](const auto& r, PortalQuery q, int request) {
         return ChangedLaterPage(r, q, request, "\n]}", "\n],\"results,\":[" + StrayRecord + "]}");
     },
     TUpdateOutcome::DataCorrupt, 2, 0, {}, NineWithoutPair},
    // The records are read from the list alone.
    {"a pair outside the list on a later page", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return ChangedLaterPage(r, q, request, "{\"offset\":", "{\"stray\":" + StrayRecord + ",\"offset\":");
     },
     TUpdateOutcome::Complete, 3, 25000},
    // An answer that gives its count twice contradicts itself, whichever
    // of the two the reader would believe.
    {"two counts on the first page", 25000,
     [](const auto& r, PortalQuery q, int) { return RealPage(r, q, Total(r)).chopped(1) + ",\"count\":10000}"; },
     TUpdateOutcome::DataCorrupt, 1},
    {"two equal counts on a later page", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return ChangedLaterPage(r, q, request, "\n]}", "\n],\"count\":25000}");
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"the answer wrapped in brackets", 25000,
     [](const auto& r, PortalQuery q, int) { return "[" + RealPage(r, q, Total(r)) + "]"; },
     TUpdateOutcome::DataCorrupt, 1},
    {"new records on every page without end", 10000,
     [](const auto&, PortalQuery q, int request) {
         return PortalEnvelope(q, -1, PagedRecords(int(q.Limit), -1, request * int(q.Limit) + 1), 0, q.Limit);
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"a list without end", 10000,
     [](const auto&, PortalQuery q, int) {
         return PortalEnvelope(q, -1, PagedRecords(int(q.Limit), -1, int(q.Offset) + 1), 0, q.Limit);
     },
     TUpdateOutcome::DataCorrupt, MorphologyPageCap},
    // Lists that change between two pages: three records lost at the front
    // move records 10,000 to 10,002 below the offset of the second page.
    {"loses its first 3 records after page 1", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, Total(r)) : RealPage(MovedList(r, 3), q, Total(r) - 3);
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"loses 3 at the front and gains 3 at the end", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, Total(r))
                             : RealPage(MovedList(r, 3, PagedRecords(3, -1, 25001)), q, Total(r));
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"later pages name lichens but no substance", 25000,
     [](const auto& r, PortalQuery q, int) {
         std::vector<std::pair<QString, QString>> lichensOnly;
         for (int id = 10001; id <= 25000; ++id)
             lichensOnly.push_back({QString(), QString("Pagedgenus lichen%1").arg(id)});
         std::vector<QByteArray> list(r.begin(), r.begin() + 10000);
         for (QByteArray& record : MorphologyRecords(lichensOnly, 10001))
             list.push_back(std::move(record));
         return RealPage(list, q, Total(list));
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"an empty page while the count says more", 10,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? PortalEnvelope(q, Total(r), r, 0, 2) : PortalEnvelope(q, Total(r), r, 0, 0);
     },
     TUpdateOutcome::DataCorrupt, 2},
    {"no count, an empty page after a full one", 25000,
     [](const auto& r, PortalQuery q, int request) {
         return request == 1 ? RealPage(r, q, -1) : PortalEnvelope(q, -1, r, 0, 0);
     },
     TUpdateOutcome::DataCorrupt, 2},
};

class LichenPortalBehaviour : public LichenUpdateOverHttp, public ::testing::WithParamInterface<PortalBehaviour> {};

TEST_P(LichenPortalBehaviour, TakesEveryRecordOnceOrTouchesNothing)
{
    const PortalBehaviour& c = GetParam();
    std::vector<QByteArray> records = PagedRecords(c.records);
    const QByteArray others[] = {"null", "7", "\"x\"", "true"};
    for (size_t k = 0; k < c.notObjects.size(); ++k)
        records[size_t(c.notObjects[k])] = others[k % 4];
    for (int k : c.withoutPair)
        records[size_t(k)] = PagedRecords(1, 0, k + 1)[0];
    int served = 0;
    server.RoutePrefix(AttributePath("254") + "?", [&](const QString& target) {
        return FakeResponse::Ok(c.answer(records, ReadPortalQuery(target), ++served), "application/json");
    });
    custom.insert("254");
    const QStringList schemaBefore = TableRows("SELECT type, name, sql FROM sqlite_master ORDER BY name");

    EXPECT_EQ(RunOverHttp(), c.outcome);
    EXPECT_EQ(AttributeRequests("254").size(), c.requests);
    if (c.outcome == TUpdateOutcome::Complete) {
        EXPECT_EQ(PagedRows(), std::pair(c.pairs, c.pairs)) << "every record once";
        EXPECT_EQ(db.Count("Lichens"), 44 + c.pairs);
        EXPECT_EQ(Messages(), QStringList({"Complete"}));
        EXPECT_EQ(server.Requests().size(), 22 + c.requests);
    } else {
        EXPECT_EQ(AttributeRequests("255").size(), 0) << "no later attribute is asked for";
        EXPECT_EQ(Messages(), QStringList({Corrupt}));
        EXPECT_EQ(Lichens(), OldRows());
        EXPECT_EQ(TableRows("SELECT type, name, sql FROM sqlite_master ORDER BY name"), schemaBefore)
            << "no backup made, no index dropped";
        EXPECT_FALSE(progress.Visible);
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    }
}

INSTANTIATE_TEST_SUITE_P(Portals, LichenPortalBehaviour, ::testing::ValuesIn(PortalBehaviours), TitleName());

// A record with a pair outside the list, wherever it stands, on the first
// page or a later one, while the list holds records that give no row (so a
// limit of pairs to records could not tell): the list's records are stored,
// the stray one never.
std::vector<PortalBehaviour> StrayBehaviours()
{
    static std::deque<std::string> titles;
    std::vector<PortalBehaviour> cases;
    for (const StrayPlace& place : StrayPlaces) {
        titles.push_back(std::string("a pair ") + place.Title + " on the first page");
        cases.push_back({titles.back().c_str(), 5001,
                         [&place](const auto& r, PortalQuery q, int request) {
                             const QByteArray page = RealPage(r, q, Total(r));
                             return request == 1 ? WithStray(page, StrayRecord, place) : page;
                         },
                         TUpdateOutcome::Complete, 1, 5000, {}, {5000}});
        titles.push_back(std::string("a pair ") + place.Title + " on a later page");
        cases.push_back({titles.back().c_str(), 10010,
                         [&place](const auto& r, PortalQuery q, int request) {
                             const QByteArray page = RealPage(r, q, Total(r));
                             return request == 1 ? page : WithStray(page, StrayRecord, place);
                         },
                         TUpdateOutcome::Complete, 2, 10001, {}, NineWithoutPair});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Strays, LichenPortalBehaviour, ::testing::ValuesIn(StrayBehaviours()), TitleName());

TEST_F(LichenUpdateOverHttp, AsksForEveryAttributeInOrder)
{
    EXPECT_EQ(RunOverHttp(), TUpdateOutcome::Complete);
    QStringList expected;
    for (const char* id : MorphologyAttributeIds)
        expected << AttributeTarget(id);
    EXPECT_EQ(server.Requests(), expected);
    EXPECT_EQ(db.Count("Lichens"), 46);
    EXPECT_EQ(Backup(), OldRows());
    EXPECT_EQ(Messages(), QStringList({"Complete"}));
}

TEST_F(LichenUpdateOverHttp, ABodyCutOffInTransferChangesNothing)
{
    cut["237"] = 120;
    EXPECT_EQ(RunOverHttp(), TUpdateOutcome::DownloadFailed);
    EXPECT_EQ(server.Requests().size(), 3);
    EXPECT_EQ(Lichens(), OldRows());
    EXPECT_EQ(Messages(), QStringList({Failed}));
}

}
