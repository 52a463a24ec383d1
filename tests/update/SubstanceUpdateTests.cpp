// The substance update against a scripted portal: the metabolite records
// replace the table through its backup, the glossary identifiers follow, and
// no bad answer or failing statement loses a row.
#include "UpdateTestKit.h"
#include "support/FakeHttpServer.h"
#include "update/SubstanceUpdate.h"

#include <deque>
#include <string>

namespace {

const QString Portal = "http://portal.test";
const QString MetaboliteTarget = "/portal/api/v2/metabolite?limit=2000";
const QString GlossaryTarget = "/portal/glossary/index.php";

// The portal's answer to the metabolite request when it lists `records`.
QByteArray MetaboliteAnswer(const QList<QByteArray>& records)
{
    return PortalListAnswer(MetaboliteRecords(records), MetaboliteTarget);
}

QByteArray Record(const QByteArray& name, int a, const QByteArray& notes)
{
    return "\"name\":\"" + name + "\",\"A\":" + QByteArray::number(a) + ",\"BefVis\":\"\",\"Notes\":" + notes
           + ",\"initialTimestamp\":\"2021-03-04 05:06:07\",\"lastModified\":null";
}

const QList<QByteArray> GoodRecords = {Record("Atranorin", 75, "\"cortex\""), Record("Name", 40, "null"),
                                       Record("name x", 33, "\"a \\\"b\"")};
const QByteArray GoodAnswer = MetaboliteAnswer(GoodRecords);

const QByteArray GlossaryPage =
    "<html><body>\n"
    "<a href=\"#\" onclick=\"openPopup(12,'g');\">Atranorin</a><br>\n"
    "<a href=\"#\" onclick=\"openPopup(1124,'g');\">Atranorin</a><br>\n"
    "<a href=\"#\" onclick=\"openPopup(15,'g');\">name</a><br>\n"
    "<a href=\"#\" onclick=\"openPopup(16,'g');\">Name</a><br>\n"
    "<a href=\"#\" onclick=\"openPopup(17,'g');\">Atra\"norin</a><br>\n"
    "</body></html>\n";

class SubstanceUpdateTest : public UpdateTest {
protected:
    void SetUp() override
    {
        UpdateTest::SetUp();
        db.InsertSubstance({{"name", "Old one"}, {"A", 10}, {"GLossID", "7"}});
        db.InsertSubstance({{"name", "Old two"}, {"Notes", "kept"}});
        metabolites = MetaboliteRecords(GoodRecords);
        answers[Portal + GlossaryTarget] = GlossaryPage;
    }

    // The portal lists `metabolites` as the real one does (or as
    // `metabolitePortal` says); `answers` holds the answers to other
    // requests, and any the test fixes itself.
    TUpdateOutcome Run()
    {
        TUpdateContext context{connection,
                               [this](const QString& address) {
                                   requests << address;
                                   if (answers.count(address))
                                       return answers[address];
                                   const QString target = address.mid(Portal.size());
                                   if (!target.startsWith(MetabolitePath + "?"))
                                       return QByteArray();
                                   if (metabolitePortal)
                                       return metabolitePortal(metabolites, ReadPortalQuery(target),
                                                               int(requests.size()));
                                   return PortalListAnswer(metabolites, target);
                               },
                               progress, Portal};
        return RunSubstanceUpdate(context);
    }

    QStringList OldRows() const { return {"Old one|10|<null>|7", "Old two|<null>|kept|<null>"}; }
    QStringList Substances() { return TableRows("SELECT name, A, Notes, GLossID FROM Substances ORDER BY rowid"); }
    QStringList Backup() { return TableRows("SELECT name, A, Notes, GLossID FROM SubstancesBackup ORDER BY rowid"); }

    std::vector<QByteArray> metabolites;
    std::function<QByteArray(const std::vector<QByteArray>& records, PortalQuery asked, int request)> metabolitePortal;
    std::map<QString, QByteArray> answers;
    QStringList requests;
};

TEST_F(SubstanceUpdateTest, ReplacesTheRowsSetsGlossaryIdsAndRecordsTheDate)
{
    LichenDataDate = "1650000000";
    EXPECT_EQ(Run(), TUpdateOutcome::Complete);

    EXPECT_EQ(requests, QStringList({Portal + MetaboliteTarget, Portal + GlossaryTarget}));
    // "Name" sets only the substance named Name (compared without case, not
    // as a pattern over every name); "name" and 1124 are never applied; a
    // term with a double quote matches nothing and breaks nothing.
    EXPECT_EQ(Substances(), QStringList({"Atranorin|75|cortex|12", "Name|40|<null>|16",
                                         "name x|33|a \\|<null>"}));
    EXPECT_EQ(db.Scalar("SELECT typeof(A) FROM Substances WHERE name = 'Atranorin'"), "integer");
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Substances WHERE BefVis IS NULL"), "3");
    EXPECT_EQ(Backup(), OldRows());
    EXPECT_EQ(DatesFile(), QByteArray("Substances\t1700000000\r\nLichens\t1650000000"));
    EXPECT_EQ(SubstanceDataDate, QByteArray("1700000000"));
    EXPECT_EQ(Messages(), QStringList({"Complete"}));
    EXPECT_EQ(progress.Events.mid(0, 4), QStringList({"caption:Updating substances", "label:Downloading data",
                                                      "show", "process"}));
    EXPECT_TRUE(progress.Events.contains("label:Inserting data"));
    // Five glossary entries: i * 120 / 5.
    EXPECT_EQ(progress.Positions.mid(progress.Positions.size() - 5), QList<int>({0, 24, 48, 72, 96}));
    EXPECT_EQ(progress.Events.last(), "hide");
}

struct SubstanceBadAnswer {
    const char* title;
    QByteArray answer;
    const char* message;
    TUpdateOutcome outcome;
};

void PrintTo(const SubstanceBadAnswer& c, std::ostream* os) { *os << c.title; }

class SubstanceBadAnswerTest : public SubstanceUpdateTest,
                               public ::testing::WithParamInterface<SubstanceBadAnswer> {};

TEST_P(SubstanceBadAnswerTest, StopsBeforeAnyTableIsTouched)
{
    answers[Portal + MetaboliteTarget] = GetParam().answer;
    EXPECT_EQ(Run(), GetParam().outcome);
    EXPECT_EQ(requests, QStringList({Portal + MetaboliteTarget}));
    EXPECT_EQ(Substances(), OldRows());
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'SubstancesBackup'"), "0");
    EXPECT_EQ(Messages(), QStringList({GetParam().message}));
    EXPECT_FALSE(progress.Visible);
    EXPECT_EQ(DatesFile(), QByteArray("<none>"));
}

const char* const NoInternet = "Error connecting to internet";
const char* const Corrupt = "Downloaded data corrupt.  Please try again.";

INSTANTIATE_TEST_SUITE_P(Cases, SubstanceBadAnswerTest, ::testing::Values(
    SubstanceBadAnswer{"empty answer", "", NoInternet, TUpdateOutcome::DownloadFailed},
    SubstanceBadAnswer{"internet switched off", "Error", NoInternet, TUpdateOutcome::DownloadFailed},
    SubstanceBadAnswer{"cut off", GoodAnswer.left(GoodAnswer.size() / 2), NoInternet,
                       TUpdateOutcome::DownloadFailed},
    SubstanceBadAnswer{"no record", MetaboliteAnswer({}), Corrupt, TUpdateOutcome::DataCorrupt},
    SubstanceBadAnswer{"keys out of order",
                       MetaboliteAnswer({Record("X", 1, "null"),
                                         "\"name\":\"Y\",\"BefVis\":\"\",\"A\":1,\"Notes\":null,"
                                         "\"initialTimestamp\":\"t\""}),
                       Corrupt, TUpdateOutcome::DataCorrupt},
    SubstanceBadAnswer{"key that is no column",
                       MetaboliteAnswer({"\"name\":\"X\",\"Colour\":\"red\",\"initialTimestamp\":\"t\""}),
                       Corrupt, TUpdateOutcome::DataCorrupt},
    SubstanceBadAnswer{"bare text value",
                       MetaboliteAnswer({"\"name\":\"X\",\"A\":abc,\"initialTimestamp\":\"t\""}),
                       Corrupt, TUpdateOutcome::DataCorrupt}),
    TitleName());

TEST_F(SubstanceUpdateTest, TrailingFieldsMakeNoRecord)
{
    answers[Portal + MetaboliteTarget] =
        MetaboliteAnswer({Record("Atranorin", 75, "null")}).replace("\n]}", "\n],\"A\":1,\"B\":2,\"C\":3}");
    EXPECT_EQ(Run(), TUpdateOutcome::Complete);
    EXPECT_EQ(db.Count("Substances"), 1);
}

TEST_F(SubstanceUpdateTest, ARejectedInsertLeavesTableAndBackupAsTheyWereTwice)
{
    db.Exec("CREATE TRIGGER RejectOne BEFORE INSERT ON Substances WHEN NEW.name = 'Name' "
            "BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    for (int round = 1; round <= 2; ++round) {
        TestDialogs().Reset();
        requests.clear();
        EXPECT_EQ(Run(), TUpdateOutcome::TableRestored) << round;
        EXPECT_EQ(Substances(), OldRows()) << round;
        EXPECT_EQ(Backup(), OldRows()) << round;
        EXPECT_EQ(Messages(), QStringList({"Error updating substances.  Backup restored."})) << round;
        EXPECT_EQ(requests.size(), 1) << "no glossary request";
        EXPECT_FALSE(progress.Visible);
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    }
}

// RAISE(ROLLBACK) ends the transaction inside the engine: the table holds its
// old rows at once, so no restore is tried (it would fail on the same
// trigger) and no failure to restore is reported; twice in a row.
TEST_F(SubstanceUpdateTest, AnInsertRolledBackByTheEngineLeavesTheOldRowsWithoutARestore)
{
    db.Exec("CREATE TRIGGER Reject BEFORE INSERT ON Substances BEGIN SELECT RAISE(ROLLBACK, 'rejected'); END");
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        TestDialogs().Reset();
        requests.clear();
        EXPECT_EQ(Run(), TUpdateOutcome::TableRestored);
        EXPECT_EQ(Substances(), OldRows());
        EXPECT_EQ(Backup(), OldRows());
        EXPECT_EQ(Messages(), QStringList({"Error updating substances.  Backup restored."}));
        EXPECT_FALSE(connection.InTransaction());
        EXPECT_EQ(requests.size(), 1) << "no glossary request";
        EXPECT_FALSE(progress.Visible);
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    }
}

// Another program holding the database: the update says that it failed and
// that nothing changed, whether the lock keeps it from reading or only from
// writing.
TEST_F(SubstanceUpdateTest, ADatabaseLockedByAnotherProgramIsReportedAndUnchanged)
{
    connection.Close();
    connection.Params << "BusyTimeout=50";
    connection.Open();
    for (const char* lock : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) {
        SCOPED_TRACE(lock);
        TestDialogs().Reset();
        requests.clear();
        db.Exec(lock);
        const TUpdateOutcome outcome = Run();
        db.Exec("ROLLBACK");
        EXPECT_EQ(outcome, TUpdateOutcome::DatabaseLocked);
        EXPECT_EQ(Messages(), QStringList({"Substance update failed: database is locked.  Database unchanged."}));
        EXPECT_FALSE(connection.InTransaction());
        EXPECT_EQ(Substances(), OldRows());
        EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'SubstancesBackup'"), "0");
        EXPECT_EQ(requests.size(), 1) << "no glossary request";
        EXPECT_FALSE(progress.Visible);
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    }
}

TEST_F(SubstanceUpdateTest, AFailedBackupChangesNothing)
{
    // A view of that name cannot be dropped as a table: the backup fails.
    db.Exec("CREATE VIEW SubstancesBackup AS SELECT name FROM Substances");
    EXPECT_EQ(Run(), TUpdateOutcome::BackupFailed);
    EXPECT_EQ(Substances(), OldRows());
    EXPECT_EQ(Messages(), QStringList({"Unable to create backup of database"}));
    EXPECT_FALSE(progress.Visible);
}

TEST_F(SubstanceUpdateTest, AMissingGlossaryPageKeepsTheNewRowsWithoutDate)
{
    for (const QByteArray& page : {QByteArray(), QByteArray("Error")}) {
        TestDialogs().Reset();
        answers[Portal + GlossaryTarget] = page;
        EXPECT_EQ(Run(), TUpdateOutcome::ImagesFailed);
        EXPECT_EQ(db.Count("Substances"), 3);
        EXPECT_EQ(Messages(), QStringList({"Unable to update Substance images",
                                           "Original Substance images are still available."}));
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    }
}

// When the glossary page cannot be read after the rows were replaced, each
// substance keeps the identifier its namesake had (names compared as LIKE
// compares them), so the images are indeed still available; a second such
// update, whose backup is the first one's result, keeps them too. A page
// that is read gives the identifiers of its entries only, as before.
TEST_F(SubstanceUpdateTest, AFailingGlossaryPageKeepsTheIdentifiersOfTheNamesakes)
{
    db.Exec("DELETE FROM Substances");
    db.InsertSubstance({{"name", "ATRANORIN"}, {"GLossID", "12"}});
    db.InsertSubstance({{"name", "Name"}, {"GLossID", "16"}});
    db.InsertSubstance({{"name", "name"}, {"GLossID", "99"}});   // exact namesake first
    db.InsertSubstance({{"name", "name%"}, {"GLossID", "31"}});  // no pattern
    db.InsertSubstance({{"name", "Zeorin"}, {"GLossID", "40"}});
    FakeHttpServer server;
    ServePortalList(server, MetabolitePath, MetaboliteRecords(GoodRecords));
    TUpdateContext context{connection, FetchLikeProgram, progress, server.BaseAddress()};
    const QStringList kept = {"Atranorin|75|cortex|12", "Name|40|<null>|16", "name x|33|a \\|<null>"};

    const FakeResponse failures[] = {FakeResponse::Status(500, "<html>trouble</html>"),
                                     FakeResponse::Cut(GlossaryPage, 60), FakeResponse::Empty()};
    for (const FakeResponse& failure : failures) {
        SCOPED_TRACE(int(failure.kind));
        TestDialogs().Reset();
        server.Route(GlossaryTarget, failure);
        EXPECT_EQ(RunSubstanceUpdate(context), TUpdateOutcome::ImagesFailed);
        EXPECT_EQ(Substances(), kept);
        EXPECT_EQ(Messages(), QStringList({"Unable to update Substance images",
                                           "Original Substance images are still available."}));
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    }
    EXPECT_EQ(Backup(), kept) << "the last backup holds the kept identifiers";

    // A statement of the glossary step that fails rolls back only itself.
    db.Exec("CREATE TRIGGER RejectId BEFORE UPDATE OF GlossID ON Substances WHEN NEW.GlossID = '55' "
            "BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    server.Route(GlossaryTarget, FakeResponse::Ok("<a onclick=\"openPopup(77,'g');\">Atranorin</a>"
                                                  "<a onclick=\"openPopup(55,'g');\">name x</a>",
                                                  "text/html"));
    TestDialogs().Reset();
    EXPECT_EQ(RunSubstanceUpdate(context), TUpdateOutcome::FinishFailed);
    EXPECT_EQ(Substances(), kept);
    db.Exec("DROP TRIGGER RejectId");

    server.Route(GlossaryTarget, FakeResponse::Ok("<a onclick=\"openPopup(77,'g');\">Atranorin</a>", "text/html"));
    TestDialogs().Reset();
    EXPECT_EQ(RunSubstanceUpdate(context), TUpdateOutcome::Complete);
    EXPECT_EQ(Substances(), QStringList({"Atranorin|75|cortex|77", "Name|40|<null>|<null>",
                                         "name x|33|a \\|<null>"}));
}

TEST_F(SubstanceUpdateTest, AFailingGlossaryStepRollsBackOnlyItself)
{
    db.Exec("CREATE TRIGGER RejectId BEFORE UPDATE OF GlossID ON Substances WHEN NEW.GlossID = '16' "
            "BEGIN SELECT RAISE(ABORT, 'rejected'); END");
    EXPECT_EQ(Run(), TUpdateOutcome::FinishFailed);
    EXPECT_EQ(Substances(), QStringList({"Atranorin|75|cortex|<null>", "Name|40|<null>|<null>",
                                         "name x|33|a \\|<null>"}));
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].startsWith("Unable to set the substance glossary identifiers"));
    EXPECT_FALSE(progress.Visible);
    EXPECT_EQ(DatesFile(), QByteArray("<none>"));
}

TEST_F(SubstanceUpdateTest, RunsOverHttpAgainstTheFakePortal)
{
    FakeHttpServer server;
    ServePortalList(server, MetabolitePath, MetaboliteRecords(GoodRecords));
    server.Route(GlossaryTarget, FakeResponse::Ok(GlossaryPage, "text/html"));
    TUpdateContext context{connection, FetchLikeProgram, progress, server.BaseAddress()};
    EXPECT_EQ(RunSubstanceUpdate(context), TUpdateOutcome::Complete);
    EXPECT_EQ(server.Requests(), QStringList({MetaboliteTarget, GlossaryTarget}));
    EXPECT_EQ(db.Count("Substances"), 3);

    server.Route(MetaboliteTarget, FakeResponse::Cut(GoodAnswer, 100));
    TestDialogs().Reset();
    EXPECT_EQ(RunSubstanceUpdate(context), TUpdateOutcome::DownloadFailed);
    EXPECT_EQ(db.Count("Substances"), 3);
    EXPECT_EQ(Messages(), QStringList({NoInternet}));
}

// The metabolite list beyond what one request asks for: the ordinary run
// asks once; when the count says more, the next page is asked for from the
// last record received. Portals that page otherwise, or whose list changes
// between the pages, either give every record once or end the update
// before any table is touched.
struct MetabolitePaging {
    const char* title;
    int records;
    std::function<QByteArray(const std::vector<QByteArray>& records, PortalQuery asked, int request)> answer;
    TUpdateOutcome outcome;
    QStringList targets;   // the metabolite requests
    int stored = -1;       // substances stored when complete, when not all of them
};

void PrintTo(const MetabolitePaging& c, std::ostream* os) { *os << c.title; }

class SubstancePortalPaging : public SubstanceUpdateTest, public ::testing::WithParamInterface<MetabolitePaging> {};

QByteArray PagedFields(const QByteArray& name, int i)
{
    return "\"name\":\"" + name + "\",\"A\":" + QByteArray::number(i % 90) + ",\"initialTimestamp\":\"t\"";
}

TEST_P(SubstancePortalPaging, TakesEveryRecordOnceOrTouchesNothing)
{
    const MetabolitePaging& c = GetParam();
    QList<QByteArray> fields;
    for (int i = 0; i < c.records; ++i)
        fields << PagedFields("Substance " + QByteArray::number(i), i);
    metabolites = MetaboliteRecords(fields);
    metabolitePortal = c.answer;

    EXPECT_EQ(Run(), c.outcome);
    QStringList expected;
    for (const QString& target : c.targets)
        expected << Portal + target;
    if (c.outcome == TUpdateOutcome::Complete) {
        expected << Portal + GlossaryTarget;
        const int stored = c.stored < 0 ? c.records : c.stored;
        EXPECT_EQ(db.Count("Substances"), stored);
        EXPECT_EQ(db.Scalar("SELECT count(DISTINCT name) FROM Substances"), QString::number(stored));
        EXPECT_EQ(Messages(), QStringList({"Complete"}));
    } else {
        EXPECT_EQ(Substances(), OldRows());
        EXPECT_EQ(db.Scalar("SELECT count(*) FROM sqlite_schema WHERE name = 'SubstancesBackup'"), "0");
        EXPECT_EQ(Messages(), QStringList({Corrupt}));
        EXPECT_FALSE(progress.Visible);
        EXPECT_EQ(DatesFile(), QByteArray("<none>"));
    }
    EXPECT_EQ(requests, expected);
}

QByteArray RealMetabolitePage(const std::vector<QByteArray>& r, PortalQuery q, qint64 count)
{
    return PortalEnvelope(q, count, r, q.Offset, q.Offset + q.Limit);
}

const QString SecondPage = MetaboliteTarget + "&offset=1999";

// Records 2,001 to 2,009 made entries of no substance, so that the second
// page holds more entries than substance records.
std::vector<QByteArray> WithRoom(std::vector<QByteArray> list)
{
    for (int k = 2001; k <= 2009; ++k)
        list[size_t(k)] = "{\"id\":" + QByteArray::number(k + 1) + "}";
    return list;
}

// The real page, from the second request on with `from` replaced by `to`,
// with room (WithRoom) when asked.
QByteArray ChangedLaterMetabolitePage(const std::vector<QByteArray>& r, PortalQuery q, int request,
                                      const QByteArray& from, const QByteArray& to, bool room = false)
{
    const std::vector<QByteArray> list = room ? WithRoom(r) : r;
    QByteArray page = RealMetabolitePage(list, q, qint64(list.size()));
    return request == 1 ? page : page.replace(from, to);
}

// A substance record that the list does not hold.
const QByteArray StrayMetabolite = "{\"id\":90000," + PagedFields("Stray", 1) + "}";

INSTANTIATE_TEST_SUITE_P(Portals, SubstancePortalPaging, ::testing::Values(
    MetabolitePaging{"1999 substances", 1999,
                     [](const auto& r, PortalQuery q, int) { return RealMetabolitePage(r, q, qint64(r.size())); },
                     TUpdateOutcome::Complete, {MetaboliteTarget}},
    MetabolitePaging{"2600 substances with their count", 2600,
                     [](const auto& r, PortalQuery q, int) { return RealMetabolitePage(r, q, qint64(r.size())); },
                     TUpdateOutcome::Complete, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"pages capped at 1000", 2600,
                     [](const auto& r, PortalQuery q, int) {
                         return PortalEnvelope(q, qint64(r.size()), r, q.Offset, q.Offset + 1000);
                     },
                     TUpdateOutcome::Complete,
                     {MetaboliteTarget, MetaboliteTarget + "&offset=999", MetaboliteTarget + "&offset=1998"}},
    MetabolitePaging{"ignores limit", 2600,
                     [](const auto& r, PortalQuery q, int) {
                         return PortalEnvelope(q, qint64(r.size()), r, q.Offset, qint64(r.size()));
                     },
                     TUpdateOutcome::Complete, {MetaboliteTarget}},
    MetabolitePaging{"ignores offset", 2600,
                     [](const auto& r, PortalQuery q, int) {
                         return PortalEnvelope(q, qint64(r.size()), r, 0, q.Limit);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"more records than its count said before", 4100,
                     [](const auto& r, PortalQuery q, int) { return RealMetabolitePage(r, q, 2100); },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"a later page with other columns", 2600,
                     [](const auto& r, PortalQuery q, int) {
                         QByteArray page = RealMetabolitePage(r, q, qint64(r.size()));
                         return q.Offset == 0 ? page : page.replace("\"A\":", "\"B\":");
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"loses its first 3 records after page 1", 2600,
                     [](const auto& r, PortalQuery q, int request) {
                         return request == 1 ? RealMetabolitePage(r, q, qint64(r.size()))
                                             : RealMetabolitePage(MovedList(r, 3), q, qint64(r.size()) - 3);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"loses 3 at the front and gains 3 at the end", 2600,
                     [](const auto& r, PortalQuery q, int request) {
                         const std::vector<QByteArray> gained =
                             MetaboliteRecords({PagedFields("Gained 1", 1), PagedFields("Gained 2", 2),
                                                PagedFields("Gained 3", 3)});
                         return request == 1 ? RealMetabolitePage(r, q, qint64(r.size()))
                                             : RealMetabolitePage(MovedList(r, 3, gained), q, qint64(r.size()));
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"cut short after the repeated record while its count says more", 5000,
                     [](const auto& r, PortalQuery q, int request) {
                         return request == 1 ? RealMetabolitePage(r, q, qint64(r.size()))
                                             : PortalEnvelope(q, qint64(r.size()), r, q.Offset, q.Offset + 1);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"the count left out after the repeated record", 2600,
                     [](const auto& r, PortalQuery q, int request) {
                         return request == 1 ? RealMetabolitePage(r, q, qint64(r.size()))
                                             : PortalEnvelope(q, -1, r, q.Offset, q.Offset + 1);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"a lower count after the repeated record", 2600,
                     [](const auto& r, PortalQuery q, int request) {
                         return request == 1 ? RealMetabolitePage(r, q, qint64(r.size()))
                                             : PortalEnvelope(q, 1000, r, q.Offset, q.Offset + 1);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"the count falls to what has come after the repeated record", 2600,
                     [](const auto& r, PortalQuery q, int request) {
                         return request == 1 ? RealMetabolitePage(r, q, qint64(r.size()))
                                             : PortalEnvelope(q, 2000, r, q.Offset, q.Offset + 1);
                     },
                     TUpdateOutcome::Complete, {MetaboliteTarget, SecondPage}, 2000},
    MetabolitePaging{"the list key spelled with an escape", 2600,
                     [](const auto& r, PortalQuery q, int) {
                         return RealMetabolitePage(r, q, qint64(r.size()))
                             .replace("\"results\":", "\"res\\u0075lts\":");
                     },
                     TUpdateOutcome::Complete, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"a list of its own before the list key spelled with an escape", 2010,
                     [](const auto& r, PortalQuery q, int request) {
                         return ChangedLaterMetabolitePage(
                             r, q, request, "\"results\":[",
                             "\"results\":[" + StrayMetabolite + "],\"res\\u0075lts\":[", true);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    // The empty object makes room under the limit of records for the
    // decoy's.
    MetabolitePaging{"a list of its own before the results list on the first page", 1001,
                     [](const auto& r, PortalQuery q, int) {
                         std::vector<QByteArray> list = r;
                         list.back() = "{}";
                         return RealMetabolitePage(list, q, qint64(list.size()))
                             .replace("\"results\":[", "\"results\":[" + StrayMetabolite + "],\"results\":[");
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget}},
    MetabolitePaging{"a list of its own before the results list", 2010,
                     [](const auto& r, PortalQuery q, int request) {
                         return ChangedLaterMetabolitePage(r, q, request, "\"results\":[",
                                                           "\"results\":[" + StrayMetabolite + "],\"results\":[",
                                                           true);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    // The records are read from the list alone.
    MetabolitePaging{"a record outside the list on a later page", 2600,
                     [](const auto& r, PortalQuery q, int request) {
                         return ChangedLaterMetabolitePage(r, q, request, "{\"offset\":",
                                                           "{\"stray\":" + StrayMetabolite + ",\"offset\":");
                     },
                     TUpdateOutcome::Complete, {MetaboliteTarget, SecondPage}},
    // An answer that gives its count twice contradicts itself, whichever
    // of the two the reader would believe.
    MetabolitePaging{"two counts on the first page", 2600,
                     [](const auto& r, PortalQuery q, int) {
                         return RealMetabolitePage(r, q, qint64(r.size())).chopped(1) + ",\"count\":2000}";
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget}},
    MetabolitePaging{"two equal counts on a later page", 2600,
                     [](const auto& r, PortalQuery q, int request) {
                         return ChangedLaterMetabolitePage(r, q, request, "\n]}", "\n],\"count\":2600}");
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, SecondPage}},
    MetabolitePaging{"an empty page while the count says more", 10,
                     [](const auto& r, PortalQuery q, int request) {
                         return PortalEnvelope(q, qint64(r.size()), r, 0, request == 1 ? 2 : 0);
                     },
                     TUpdateOutcome::DataCorrupt, {MetaboliteTarget, MetaboliteTarget + "&offset=1"}}),
    TitleName());

// A substance record outside the list, wherever it stands, on the first page
// or a later one, while the list holds entries that give no record (so a
// limit of records to entries could not tell): the list's records are
// stored, the stray one never.
std::vector<MetabolitePaging> StrayMetabolitePages()
{
    static std::deque<std::string> titles;
    std::vector<MetabolitePaging> cases;
    for (const StrayPlace& place : StrayPlaces) {
        titles.push_back(std::string("a record ") + place.Title + " on the first page");
        cases.push_back({titles.back().c_str(), 1001,
                         [&place](const auto& r, PortalQuery q, int) {
                             std::vector<QByteArray> list = r;
                             list.back() = "{}";
                             return WithStray(RealMetabolitePage(list, q, qint64(list.size())), StrayMetabolite,
                                              place);
                         },
                         TUpdateOutcome::Complete, {MetaboliteTarget}, 1000});
        titles.push_back(std::string("a record ") + place.Title + " on a later page");
        cases.push_back({titles.back().c_str(), 2010,
                         [&place](const auto& r, PortalQuery q, int request) {
                             const QByteArray page = RealMetabolitePage(WithRoom(r), q, qint64(r.size()));
                             return request == 1 ? page : WithStray(page, StrayMetabolite, place);
                         },
                         TUpdateOutcome::Complete, {MetaboliteTarget, SecondPage}, 2001});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Strays, SubstancePortalPaging, ::testing::ValuesIn(StrayMetabolitePages()), TitleName());

}
