// The lichen update against a scripted portal: request order, the rows and
// the backup, the dates file, and every way a download or a statement can
// fail without losing the table.
#include "UpdateTestKit.h"
#include "support/FakeHttpServer.h"
#include "support/QtPrinters.h"
#include "update/LichenUpdate.h"

namespace {

const QString Portal = "http://portal.test";

QString AttributeTarget(const char* id)
{
    return QString("/portal/api/v2/morphology/") + id + "/attribute?limit=10000&offset=0";
}

// Two pairs for every attribute, over 1000 bytes in all.
QByteArray RegularAnswer(const char* id)
{
    return MorphologyAnswer({{QString("Atranorin ") + id, "Cladonia rangiferina"},
                             {"usnic acid", "Usnea hirta"}});
}

class LichenUpdateTest : public UpdateTest {
protected:
    void SetUp() override
    {
        UpdateTest::SetUp();
        db.InsertLichen("Old lichen", "Old substance", "Old");
        db.InsertLichen("Lecanora", "Zeorin", "Lecanora");
        for (const char* id : MorphologyAttributeIds)
            answers[Portal + AttributeTarget(id)] = RegularAnswer(id);
    }

    TUpdateOutcome Run()
    {
        TUpdateContext context{connection,
                               [this](const QString& address) {
                                   requests << address;
                                   const int n = int(requests.size());
                                   if (answerAt.count(n))
                                       return answerAt[n];
                                   return answers[address];
                               },
                               progress, Portal};
        return RunLichenUpdate(context);
    }

    QStringList OldRows() const { return {"Old lichen|Old substance|Old", "Lecanora|Zeorin|Lecanora"}; }
    QStringList Lichens() { return TableRows("SELECT Lichen, Substance, Genus FROM Lichens ORDER BY rowid"); }
    QStringList Backup() { return TableRows("SELECT Lichen, Substance, Genus FROM LichensBackup ORDER BY rowid"); }

    std::map<QString, QByteArray> answers;
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
                  "[{\"charStateName\":\"a\"\"sciname\":\"Aa bb\"}{\"charStateName\":\"b\"}]",
                  Corrupt, TUpdateOutcome::DataCorrupt}),
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
        answers[Portal + AttributeTarget(MorphologyAttributeIds[i])] = MorphologyAnswer({{"S", lichen}});
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
    answers[Portal + AttributeTarget("260")] = MorphologyAnswer({{"Atranorin", "Bad lichen"}});

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
// them back with the rows.
TEST_F(LichenUpdateTest, KeepsTheTableIndexesAndTheirDefinitions)
{
    db.InsertSubstance({{"name", "usnic acid"}, {"Lichens", "Usnea HIRTA, Parmelia sulcata, P. saxatilis"}});
    db.Exec("CREATE INDEX \"Lichen \"\"names\"\"\" ON Lichens(Lichen)");
    db.Exec("CREATE INDEX LichensBySubstance ON Lichens (Substance, Lichen)");
    db.Exec("CREATE TABLE Other (x)");
    db.Exec("CREATE INDEX OtherIndex ON Other(x)");
    const QString definitions =
        "SELECT name || ':' || sql FROM sqlite_schema WHERE type = 'index' ORDER BY name";
    const QStringList before = TableRows(definitions);
    ASSERT_EQ(before.size(), 3);

    EXPECT_EQ(Run(), TUpdateOutcome::Complete);
    EXPECT_EQ(TableRows(definitions), before);
    EXPECT_EQ(db.Scalar("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(db.Count("Lichens"), 48);
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Lichens INDEXED BY LichensBySubstance WHERE Substance = 'usnic acid'"),
              "25");

    // A rejected insert: rows and indexes as they were.
    const QStringList rows = Lichens();
    db.Exec("CREATE TRIGGER RejectOne BEFORE INSERT ON Lichens WHEN NEW.Lichen = 'Bad lichen' "
            "BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    answers[Portal + AttributeTarget("260")] = MorphologyAnswer({{"Atranorin", "Bad lichen"}});
    TestDialogs().Reset();
    EXPECT_EQ(Run(), TUpdateOutcome::TableRestored);
    EXPECT_EQ(Lichens(), rows);
    EXPECT_EQ(TableRows(definitions), before);
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
    answers[Portal + AttributeTarget("235")] =
        MorphologyAnswer({{"Atranorin", "Cladonia rangiferina"}, {"acidXy", "Usnea hirta"}});

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

// The same update over real HTTP against the local fake portal.
class LichenUpdateOverHttp : public LichenUpdateTest {
protected:
    TUpdateOutcome RunOverHttp()
    {
        for (const char* id : MorphologyAttributeIds)
            if (!cut.count(id) && !paged.count(id))
                server.Route(AttributeTarget(id), FakeResponse::Ok(RegularAnswer(id), "application/json"));
        for (const auto& [id, bytes] : cut)
            server.Route(AttributeTarget(id.c_str()), FakeResponse::Cut(RegularAnswer(id.c_str()), bytes));
        for (const auto& [id, answers] : paged)
            for (size_t page = 0; page < answers.size(); ++page)
                server.Route(PageTarget(id.c_str(), int(page) * 10000),
                             FakeResponse::Ok(answers[page], "application/json"));
        // Should the update never stop asking, the test still ends.
        int fetched = 0;
        auto fetch = [&fetched](const QString& address) {
            return ++fetched > RequestGuard ? QByteArray() : FetchLikeProgram(address);
        };
        TUpdateContext context{connection, fetch, progress, server.BaseAddress()};
        return RunLichenUpdate(context);
    }
    static constexpr int RequestGuard = 500;

    static QString PageTarget(const char* id, int offset)
    {
        return QString("/portal/api/v2/morphology/") + id + "/attribute?limit=10000&offset=" + QString::number(offset);
    }

    // The records of one attribute in pages of at most 10,000, as the
    // portal gives them, each page with `count` (left out when negative);
    // `emptyLastPage` adds a page of no record. Record `nothing` names
    // neither a substance nor a lichen.
    static std::vector<QByteArray> Pages(int records, qint64 count, bool emptyLastPage = false, int nothing = -1)
    {
        std::vector<QByteArray> pages;
        for (int first = 0; first < records; first += 10000) {
            std::vector<std::pair<QString, QString>> pairs;
            for (int r = first; r < std::min(records, first + 10000); ++r)
                pairs.push_back(r == nothing ? std::pair<QString, QString>()
                                             : std::pair(QString("Paged substance %1").arg(r),
                                                         QString("Pagedgenus lichen%1").arg(r)));
            pages.push_back(MorphologyAnswer(pairs, count));
        }
        if (emptyLastPage)
            pages.push_back(MorphologyAnswer({}, count));
        return pages;
    }

    QStringList AttributeRequests(const char* id) const
    {
        QStringList requests;
        const QString path = QString("/portal/api/v2/morphology/") + id + "/";
        for (const QString& target : server.Requests())
            if (target.startsWith(path))
                requests << target;
        return requests;
    }

    FakeHttpServer server;
    std::map<std::string, int> cut;
    std::map<std::string, std::vector<QByteArray>> paged;
};

// An attribute of more records than one request asks for comes page by
// page, with the same address but the offset. The pages end with one of
// fewer than 10,000 records, counted in the answer, not by the pairs found
// (a record without a substance or lichen still counts), or where the
// answer's count says.
TEST_F(LichenUpdateOverHttp, AsksForTheNextPageWhileTheRecordsGoOn)
{
    struct Case {
        const char* name;
        std::vector<QByteArray> pages;
        QList<int> offsets;   // the pages asked for attribute 254
        int pairs;            // the rows they give
    };
    const Case cases[] = {
        {"25,000 records", Pages(25000, 25000), {0, 10000, 20000}, 25000},
        {"10,037 records", Pages(10037, 10037), {0, 10000}, 10037},
        {"a full page, then none, no count", Pages(10000, -1, true), {0, 10000}, 10000},
        {"a full page that the count says is all", Pages(10000, 10000), {0}, 10000},
        {"9,999 records", Pages(9999, 9999), {0}, 9999},
        {"a full page with a record of no pair", Pages(10037, 10037, false, 1234), {0, 10000}, 10036},
        {"a count beyond what the pages hold", Pages(10037, 30000), {0, 10000}, 10037},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialogs().Reset();
        server.ClearRequests();
        paged["254"] = c.pages;

        EXPECT_EQ(RunOverHttp(), TUpdateOutcome::Complete);
        QStringList expected;
        for (const char* id : MorphologyAttributeIds) {
            if (QByteArray(id) != "254") {
                expected << AttributeTarget(id);
                continue;
            }
            for (int offset : c.offsets)
                expected << PageTarget(id, offset);
        }
        EXPECT_EQ(server.Requests(), expected);
        EXPECT_EQ(db.Count("Lichens"), 44 + c.pairs);
        EXPECT_EQ(db.Scalar("SELECT count(DISTINCT Substance) FROM Lichens WHERE Lichen LIKE 'Pagedgenus %' "
                            "AND Genus = 'Pagedgenus'"),
                  QString::number(c.pairs));
        EXPECT_EQ(Messages(), QStringList({"Complete"}));
        EXPECT_EQ(progress.Positions.mid(0, 23).last(), 92) << "one step per attribute, not per page";
        progress.Positions.clear();
    }
}

// A portal that ignores the offset sends its first page again and again;
// one that numbers its records anew each time never repeats itself, but
// no attribute has that many pages. Either ends the update before any
// table is touched.
TEST_F(LichenUpdateOverHttp, APortalThatKeepsSendingFullPagesEndsTheUpdate)
{
    const QByteArray fullPage = Pages(10000, 25000).front();
    struct Case {
        const char* name;
        std::function<QByteArray(int request)> page;
        int requests;   // for attribute 254
    };
    const Case cases[] = {
        {"the same page", [&](int) { return fullPage; }, 2},
        {"new bytes each time",
         [&](int request) {
             return QByteArray(fullPage).replace("\"count\":25000", "\"count\":" + QByteArray::number(1000000 + request));
         },
         MorphologyPageCap},
    };
    const Case* current = nullptr;
    int served = 0;
    paged["254"] = {};   // every page comes from the handler
    server.RoutePrefix("/portal/api/v2/morphology/254/", [&](const QString&) {
        return FakeResponse::Ok(current->page(++served), "application/json");
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialogs().Reset();
        server.ClearRequests();
        current = &c;
        served = 0;
        const QStringList schemaBefore = TableRows("SELECT type, name, sql FROM sqlite_master ORDER BY name");

        EXPECT_EQ(RunOverHttp(), TUpdateOutcome::DataCorrupt);
        EXPECT_EQ(AttributeRequests("254").size(), c.requests);
        EXPECT_EQ(AttributeRequests("255").size(), 0) << "no later attribute is asked for";
        EXPECT_EQ(Messages(), QStringList({Corrupt}));
        EXPECT_EQ(Lichens(), OldRows());
        EXPECT_EQ(TableRows("SELECT type, name, sql FROM sqlite_master ORDER BY name"), schemaBefore)
            << "no backup made, no index dropped";
        EXPECT_FALSE(progress.Visible);
    }
}

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
