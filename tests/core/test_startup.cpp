// The whole program's start-up in a working folder of its own: the windows
// in their creation order, the main window, the internet question, and the
// failed starts.
#include "core/Entry.h"
#include "program_state_kit.h"
#include "support/QtPrinters.h"
#include "core/MainWindow.h"
#include "core/Queries.h"
#include "core/Record.h"
#include "core/Schema.h"
#include "core/Settings.h"
#include "core/WebText.h"
#include "framework/Framework.h"
#include "support/FakeHttpServer.h"
#include "support/FileBytes.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"

#include "core/FullScreenImage.h"
#include "core/HelpWindow.h"
#include "core/HintWindow.h"
#include "core/WaitWindow.h"
#include "config/Cune.h"
#include "config/EditOneColor.h"
#include "config/SearchConfig.h"
#include "identify/GenusList.h"
#include "identify/GroupList.h"
#include "identify/InputValues.h"
#include "identify/RFCalculator.h"
#include "lichens/LichenList.h"
#include "lichens/LichenMatches.h"
#include "lichens/OneLichen.h"
#include "substances/RecordList.h"
#include "substances/SubstanceImage.h"
#include "substances/ViewRecord.h"
#include "update/UpdateForm.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>


namespace {

QStringList ComponentNames()
{
    QStringList names;
    for (int i = 0; i < Application->ComponentCount(); ++i)
        names << Application->Components(i)->Name;
    return names;
}

int CountShown(const QString& text)
{
    return int(TestDialogs().Shown().count(text));
}

// Runs the program in a working folder of its own and puts every global the
// start-up touches back afterwards, so later tests start clean.
class StartUp : public ::testing::Test {
protected:

    // A working folder holding the database and the default configuration.
    void EnterFolderWith(FixtureDb& db)
    {
        const QString target = db.Dir() + QStringLiteral("/Default.scfg");
        ASSERT_TRUE(QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), target));
        db.CloseHandle();
        ASSERT_TRUE(QDir::setCurrent(db.Dir()));
    }
    void EnterEmptyFolder()
    {
        ASSERT_TRUE(emptyDir.isValid());
        ASSERT_TRUE(QDir::setCurrent(emptyDir.path()));
    }
    QStringList FolderEntries(const QString& path) const
    {
        return QDir(path).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    // Owned here so that the windows are gone before its folder is removed.
    FixtureDb& MakeDb(bool withSchema = true)
    {
        fixture = std::make_unique<FixtureDb>(withSchema);
        return *fixture;
    }

    std::unique_ptr<FixtureDb> fixture;
    QTemporaryDir emptyDir;
    // Last, so the windows are gone before the folders are removed.
    SavedProgramState saved;
};

TEST_F(StartUp, CreatesTheNineteenWindowsInTheirOrder)
{
    FixtureDb& db = MakeDb();
    db.InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"GroupName", "Depsides"}});
    EnterFolderWith(db);

    CreateAllForms();

    struct Window { const char* name; TForm* form; };
    const std::vector<Window> expected = {
        {"Form1", Form1},
        {"InputSpotValuesForm", InputSpotValuesForm},
        {"SearchConfigForm", SearchConfigForm},
        {"EditOneColorForm", EditOneColorForm},
        {"ViewRecordForm", ViewRecordForm},
        {"RecordListForm", RecordListForm},
        {"HelpForm", HelpForm},
        {"LichenMatchesForm", LichenMatchesForm},
        {"WaitForm", WaitForm},
        {"UpdateForm", UpdateForm},
        {"CuneForm", CuneForm},
        {"RFForm", RFForm},
        {"LichenListForm", LichenListForm},
        {"OneLichenForm", OneLichenForm},
        {"GenusForm", GenusForm},
        {"HintForm", HintForm},
        {"GroupForm", GroupForm},
        {"SubstanceImageForm", SubstanceImageForm},
        {"FullScreenImageForm", FullScreenImageForm},
    };
    ASSERT_EQ(Application->ComponentCount(), int(expected.size())) << ComponentNames().join(", ").toStdString();
    for (int i = 0; i < int(expected.size()); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(Application->Components(i)->Name, QString::fromLatin1(expected[i].name));
        EXPECT_EQ(Application->Components(i), expected[i].form);
    }
    EXPECT_EQ(Application->MainForm(), Form1);

    // The main window: caption, fixed outer size, centred on the screen.
    EXPECT_EQ(Form1->Caption(), "Quillaspore");
    EXPECT_TRUE(Form1->Visible());
    EXPECT_EQ(Form1->Width(), 1363);
    EXPECT_EQ(Form1->Height(), 603);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Form1->Left(), area.x() + (area.width() - 1363) / 2);
    EXPECT_EQ(Form1->Top(), area.y() + (area.height() - 603) / 2);
    EXPECT_EQ(DatabaseDir, QDir::currentPath());
    EXPECT_FALSE(Form1->SaveIcon->Enabled());

    // The database of the working folder is the one the queries read.
    RunQuery(QStringLiteral("SELECT name FROM Substances"));
    EXPECT_EQ(GetFieldString(QStringLiteral("name")), "Atranorin");
    // A proper database gives neither rebuild nor outdated message.
    EXPECT_EQ(CountShown(QStringLiteral("Substance database structure being updated.")), 0);
    EXPECT_EQ(CountShown(OutdatedDatabaseMessage), 0);
    EXPECT_EQ(LastHaltStatus(), -1);
}

struct InternetAnswerCase {
    const char* name;
    int answer;
    bool updatesEnabledAfter;
};
// ctest lists the case by its name instead of a byte dump.
void PrintTo(const InternetAnswerCase& c, std::ostream* os) { *os << c.name; }

class StartUpOffline : public StartUp, public ::testing::WithParamInterface<InternetAnswerCase> {};

TEST_P(StartUpOffline, AsksOnceAndSetsTheUpdateItemsByTheAnswer)
{
    FixtureDb& db = MakeDb();
    EnterFolderWith(db);
    TestDialogs().AnswerNext(GetParam().answer);

    CreateAllForms();

    int asked = 0;
    for (const auto& q : TestDialogs().Questions())
        if (q.Text == DisableInternetQuestion) {
            ++asked;
            EXPECT_EQ(q.Buttons, mbOK | mbCancel);
        }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(DisableInternetQuestion, "Error connecting to website.  Disable internet?");
    const bool on = GetParam().updatesEnabledAfter;
    EXPECT_EQ(InternetEnabled, on);
    ASSERT_NE(Form1->UpdateLichenData1, nullptr);
    ASSERT_NE(Form1->DownloadSubstanceData1, nullptr);
    EXPECT_EQ(Form1->UpdateLichenData1->Enabled(), on);
    EXPECT_EQ(Form1->DownloadSubstanceData1->Enabled(), on);
    // The probe's time-out is put back for the requests of the run.
    EXPECT_EQ(Form1->HTTP1->ConnectionTimeout, 60000);
    // The start-up goes on whatever the answer.
    EXPECT_EQ(Application->ComponentCount(), 19);
}

INSTANTIATE_TEST_SUITE_P(Answers, StartUpOffline,
                         ::testing::Values(InternetAnswerCase{"Ok", mrOk, false},
                                           InternetAnswerCase{"Cancel", mrCancel, true}),
                         [](const ::testing::TestParamInfo<InternetAnswerCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(StartUp, StartsOnTheDemonstrationDatabase)
{
    QFile script(QStringLiteral(QS_SOURCE_DIR "/data/demo.sql"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    FixtureDb& db = MakeDb(false);
    db.Exec(QString::fromUtf8(script.readAll()));
    EnterFolderWith(db);
    TestDialogs().AnswerNext(mrCancel);

    CreateAllForms();

    // Only the internet question: no rebuild, no outdated message.
    EXPECT_EQ(TestDialogs().Shown(), QStringList({DisableInternetQuestion}));
    EXPECT_EQ(Application->ComponentCount(), 19);
    SelectSubstanceByName(QStringLiteral("atranorin"));
    EXPECT_EQ(ReadSubstanceRow().name, "Atranorin");
}

TEST_F(StartUp, AReachableProbeAsksNothingAndChangesNothing)
{
    FakeHttpServer server;
    server.Route("/", FakeResponse::Ok("<html>hello</html>", "text/html"));
    InternetProbeAddress = server.Url("/");
    FixtureDb& db = MakeDb();
    EnterFolderWith(db);

    CreateAllForms();

    EXPECT_EQ(server.Requests(), QStringList({"/"}));
    // No question, and no "Data Sent" for the probe's GET.
    EXPECT_EQ(TestDialogs().Shown(), QStringList());
    EXPECT_TRUE(InternetEnabled);
    EXPECT_TRUE(Form1->UpdateLichenData1->Enabled());
    EXPECT_TRUE(Form1->DownloadSubstanceData1->Enabled());
    EXPECT_EQ(Form1->HTTP1->ConnectionTimeout, 60000);
}

TEST_F(StartUp, AQuitFromTheRunningProgramReturnsZero)
{
    FixtureDb& db = MakeDb();
    EnterFolderWith(db);
    TestDialogs().AnswerNext(mrCancel);   // keep the internet on: no effect on quitting

    bool closed = false;
    // Runs inside the message loop, once the main window is up.
    QTimer::singleShot(0, [&] {
        closed = true;
        if (Form1) Form1->UserClose();
    });
    const int status = RunProgram();

    EXPECT_TRUE(closed);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(LastHaltStatus(), 0);
    EXPECT_EQ(Application->Title(), "Quillaspore");
    EXPECT_EQ(Application->ComponentCount(), 19);
}

TEST_F(StartUp, WithoutADatabaseFailsAndCreatesNothing)
{
    EnterEmptyFolder();

    const int status = RunProgram();

    EXPECT_NE(status, 0);
    ASSERT_EQ(TestDialogs().Messages().size(), 1);
    EXPECT_FALSE(TestDialogs().Messages()[0].isEmpty());
    EXPECT_TRUE(TestDialogs().Questions().empty());   // no window got as far as the probe
    EXPECT_EQ(FolderEntries(emptyDir.path()), QStringList());
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_EQ(Form1, nullptr);
}

TEST_F(StartUp, AFileThatIsNoDatabaseFailsAndStaysAsItWas)
{
    EnterEmptyFolder();
    const QByteArray bytes(4096, 'x');
    {
        QFile file(QStringLiteral("Quillaspore.db"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    const int status = RunProgram();

    EXPECT_NE(status, 0);
    EXPECT_EQ(TestDialogs().Messages().size(), 1);
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_EQ(FolderEntries(emptyDir.path()), QStringList({"Quillaspore.db"}));
    EXPECT_EQ(FileBytes(QStringLiteral("Quillaspore.db")), bytes);
}

struct OutdatedCase {
    const char* name;
    const char* sql;   // the tables of the old database
};
void PrintTo(const OutdatedCase& c, std::ostream* os) { *os << c.name; }

class StartUpOutdated : public StartUp, public ::testing::WithParamInterface<OutdatedCase> {};

TEST_P(StartUpOutdated, SaysSoAndEndsWithAFailure)
{
    FixtureDb& db = MakeDb(false);
    if (*GetParam().sql) db.Exec(QString::fromLatin1(GetParam().sql));
    EnterFolderWith(db);
    const QStringList entries = FolderEntries(db.Dir());
    const QByteArray bytes = FileBytes(db.Path());

    const int status = RunProgram();

    // A refused database is left exactly as it was: no table rebuilt, no
    // index made or dropped, no file beside it.
    EXPECT_EQ(FileBytes(db.Path()), bytes);
    EXPECT_EQ(FolderEntries(db.Dir()), entries);

    EXPECT_NE(status, 0);
    EXPECT_EQ(LastHaltStatus(), status);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Outdated database Quillaspore.db\r\nPlease update."}));
    // The process ends inside the main window's construction: no other
    // window is made and the internet is not probed.
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_EQ(Form1, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, StartUpOutdated,
    ::testing::Values(OutdatedCase{"NoGroupNameColumn", "CREATE TABLE Substances (name TEXT, A INTEGER)"},
                      OutdatedCase{"NoSubstancesTable", ""},
                      // Lichens as an earlier version left it: its older index,
                      // or a layout the start-up would rebuild.
                      OutdatedCase{"NoGroupNameWithTheOlderLichenIndex",
                                   "CREATE TABLE Substances (name TEXT, A INTEGER);"
                                   "CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, "
                                   "Genus TEXT NOT NULL);"
                                   "INSERT INTO Lichens VALUES ('Parmelia sulcata', 'Atranorin', 'Parmelia');"
                                   "CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)"},
                      OutdatedCase{"NoSubstancesTableAndUniqueLichens",
                                   "CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, "
                                   "Genus TEXT NOT NULL, UNIQUE (Lichen, Substance));"
                                   "INSERT INTO Lichens VALUES ('Parmelia sulcata', 'Atranorin', 'Parmelia')"},
                      // UNIQUE, but no column the program knows: not rebuilt,
                      // so still outdated.
                      OutdatedCase{"UniqueSubstancesOfNoKnownColumn",
                                   "CREATE TABLE Substances (Compound TEXT UNIQUE);"
                                   "CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, "
                                   "Genus TEXT NOT NULL)"}),
    [](const ::testing::TestParamInfo<OutdatedCase>& info) { return std::string(info.param.name); });

// A database of the previous version, its older lichen index, while another
// program holds its write lock: the start goes on with the indexes there
// are, and the index is replaced by a later start without the lock.
TEST_F(StartUp, UnderAnotherProgramsWriteLockStartsWithTheOlderLichenIndex)
{
    FixtureDb& db = MakeDb();
    db.InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"GroupName", "Depsides"}});
    db.InsertLichen(QStringLiteral("Parmelia sulcata"), QStringLiteral("Atranorin"), QStringLiteral("Parmelia"));
    db.Exec(QStringLiteral("CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE);"
                           "CREATE INDEX LichensLichen ON Lichens(Lichen)"));
    EnterFolderWith(db);
    const QString indexes = QStringLiteral(
        "SELECT group_concat(name) FROM (SELECT name FROM sqlite_schema WHERE type = 'index' ORDER BY name)");
    db.Exec(QStringLiteral("BEGIN IMMEDIATE"));
    TestDialogs().AnswerNext(mrCancel);

    CreateAllForms();

    EXPECT_EQ(Application->ComponentCount(), 19);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({DisableInternetQuestion}));
    EXPECT_EQ(LastHaltStatus(), -1);
    // The later statements of the run wait for a lock as they always did.
    EXPECT_EQ(Form1->SQLConnection1->BusyTimeout(), 5000);
    EXPECT_EQ(db.Scalar(indexes), "LichensLichen,LichensSubstanceNoCase");
    RunQuery(QStringLiteral("Select Lichen FROM Lichens WHERE Substance LIKE 'atranorin'"));
    EXPECT_EQ(GetFieldString(QStringLiteral("Lichen")), "Parmelia sulcata");
    DestroyAllForms();
    db.Exec(QStringLiteral("ROLLBACK"));
    db.CloseHandle();

    TestDialogs().Reset();
    Application->ResetForTests();
    TestDialogs().AnswerNext(mrCancel);
    CreateAllForms();
    EXPECT_EQ(db.Scalar(indexes), "LichensLichen,LichensSubstanceLichen");
}

TEST_F(StartUp, AnOlderLayoutIsRebuiltOnceAndKeepsItsRows)
{
    FixtureDb& db = MakeDb(false);
    // Another column order, a UNIQUE constraint and no GLossID column.
    db.Exec(QStringLiteral(
        "CREATE TABLE Substances (GroupName TEXT, A INTEGER, name TEXT UNIQUE, Synonyms TEXT);"
        "INSERT INTO Substances VALUES ('Depsides', 75, 'Atranorin', 'Atranorine');"
        "INSERT INTO Substances VALUES ('Depsidones', 40, 'Fumarprotocetraric acid', NULL);"
        "CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, Genus TEXT NOT NULL, "
        "UNIQUE (Lichen, Substance));"
        "INSERT INTO Lichens VALUES ('Parmelia sulcata', 'Atranorin', 'Parmelia');"));
    EnterFolderWith(db);
    TestDialogs().AnswerNext(mrCancel);

    CreateAllForms();

    EXPECT_EQ(CountShown(QStringLiteral("Substance database structure being updated.")), 1);
    EXPECT_EQ(CountShown(QStringLiteral("Lichen database structure being updated.")), 1);
    EXPECT_EQ(Application->ComponentCount(), 19);
    DestroyAllForms();

    const auto rows = db.Rows(QStringLiteral("SELECT name, A, GroupName, Synonyms, GLossID FROM Substances ORDER BY name"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toString(), "Atranorin");
    EXPECT_EQ(rows[0][1].toString(), "75");
    EXPECT_EQ(rows[0][2].toString(), "Depsides");
    EXPECT_EQ(rows[0][3].toString(), "Atranorine");
    EXPECT_EQ(rows[1][0].toString(), "Fumarprotocetraric acid");
    EXPECT_EQ(rows[1][2].toString(), "Depsidones");
    EXPECT_FALSE(db.Scalar(QStringLiteral("SELECT sql FROM sqlite_schema WHERE name = 'Substances'")).contains("UNIQUE"));
    EXPECT_FALSE(db.Scalar(QStringLiteral("SELECT sql FROM sqlite_schema WHERE name = 'Lichens'")).contains("UNIQUE"));
    EXPECT_EQ(db.Count(QStringLiteral("Lichens")), 1);
    db.CloseHandle();

    // The second start finds the program's own layout: no rebuild.
    TestDialogs().Reset();
    Application->ResetForTests();
    TestDialogs().AnswerNext(mrCancel);
    CreateAllForms();
    EXPECT_EQ(CountShown(QStringLiteral("Substance database structure being updated.")), 0);
    EXPECT_EQ(CountShown(QStringLiteral("Lichen database structure being updated.")), 0);
    EXPECT_EQ(Application->ComponentCount(), 19);
}

} // namespace
