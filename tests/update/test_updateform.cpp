// The update window end to end: its construction adds a missing glossary
// column, and its handlers drive the real wait window and text fetch
// against a local portal.
#include "UpdateTestKit.h"
#include "support/FakeHttpServer.h"
#include "support/FileBytes.h"
#include "core/Queries.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "core/WebText.h"
#include "framework/Forms.h"
#include "framework/NetHTTP.h"
#include "update/LichenUpdate.h"
#include "update/UpdateForm.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

const QString MetaboliteTarget = "/portal/api/v2/metabolite?limit=2000";
const QString GlossaryTarget = "/portal/glossary/index.php";

QString AttributeTarget(const char* id)
{
    return QString("/portal/api/v2/morphology/") + id + "/attribute?limit=10000&offset=0";
}

// The metabolite records the portal lists.
const std::vector<QByteArray> Metabolites = MetaboliteRecords(
    {"\"name\":\"Atranorin\",\"A\":75,\"Notes\":\"cortex\",\"initialTimestamp\":\"2021-03-04\"",
     "\"name\":\"Zeorin\",\"A\":40,\"Notes\":null,\"initialTimestamp\":\"2021-03-05\""});

const QByteArray GlossaryPage =
    "<html><body>\n"
    "<a href=\"#\" onclick=\"openPopup(12,'g');\">Atranorin</a><br>\n"
    "</body></html>\n";

class UpdateFormTest : public ::testing::Test {
protected:
    static constexpr long long FixedNow = 1700000000;

    void SetUp() override
    {
        previousDir = QDir::currentPath();
        QDir::setCurrent(db.Dir());
        SetUnixNowForTesting(FixedNow);
        SubstanceDataDate = "0";
        LichenDataDate = "0";
        InternetEnabled = true;
        PortalBaseAddress = server.BaseAddress();
        request.IsTextRequest = true;
        request.OnRequestError = [](TNetHTTPRequest*, const QString&) {};
        SetWebTextRequest(&request);

        db.InsertLichen("Old lichen", "Old substance", "Old");
        db.InsertSubstance({{"name", "Old one"}, {"A", 10}, {"GLossID", "7"}});
        for (const char* id : MorphologyAttributeIds)
            ServePortalList(server, AttributePath(id),
                            MorphologyRecords({{QString("Atranorin ") + id, "Cladonia rangiferina"},
                                               {"usnic acid", "Usnea hirta"}}));
        ServePortalList(server, MetabolitePath, Metabolites);
        server.Route(GlossaryTarget, FakeResponse::Ok(GlossaryPage));
    }

    void TearDown() override
    {
        delete UpdateForm;
        UpdateForm = nullptr;
        delete WaitForm;
        WaitForm = nullptr;
        SetMainDatabase(nullptr, nullptr);
        connection.Close();
        SetWebTextRequest(nullptr);
        ResetSettings();
        Application->ResetForTests();
        SetUnixNowForTesting(0);
        QDir::setCurrent(previousDir);
    }

    // The windows as start-up makes them, on the fixture's database.
    void CreateWindows()
    {
        connection.Params = db.ConnectionParams();
        connection.Open();
        query.SQLConnection = &connection;
        SetMainDatabase(&connection, &query);
        Application->CreateForm(WaitForm);
        WaitForm->OnHide = [this](TObject*) { messagesAtHide << TestDialogs().Shown().size(); };
        Application->CreateForm(UpdateForm);
    }

    // As the menu command starts an update.
    void ClickWithWaitWindow(void (TUpdateForm::*handler)(TObject*))
    {
        WaitForm->Show();
        (UpdateForm->*handler)(nullptr);
    }

    QStringList Rows(const QString& sql) { return QueryRows(db, sql); }
    QStringList Lichens() { return Rows("SELECT Lichen, Substance, Genus FROM Lichens ORDER BY rowid"); }
    QStringList Substances() { return Rows("SELECT name, A, Notes, GLossID FROM Substances ORDER BY rowid"); }

    QByteArray DatesFile() const { return FileBytes(db.Dir() + "/UpdateDates.txt", "<none>"); }

    FixtureDb db;
    FakeHttpServer server;
    TNetHTTPRequest request;
    TSQLConnection connection;
    TSQLQuery query;
    QList<qsizetype> messagesAtHide;   // how many texts had been shown when the wait window hid

private:
    QString previousDir;
};

TEST_F(UpdateFormTest, BuildsHiddenButtonsBoundToTheHandlers)
{
    CreateWindows();
    EXPECT_EQ(UpdateForm->Caption(), "Downloading Data");
    EXPECT_EQ(UpdateForm->Tag, -1);
    EXPECT_EQ(UpdateForm->ClientWidth(), 555);
    EXPECT_EQ(UpdateForm->ClientHeight(), 516);
    struct Expected { TButton* button; const char* name; const char* caption; QRect place; };
    const Expected buttons[] = {
        {UpdateForm->LichenUpdateButton, "LichenUpdateButton", "LIPOR Update", {240, 408, 89, 25}},
        {UpdateForm->SubstanceUpdateButton, "SubstanceUpdateButton", "Substance Update", {360, 408, 105, 25}},
        {UpdateForm->VersionCheckButton, "VersionCheckButton", "VersionCheck", {480, 408, 89, 25}},
    };
    for (const Expected& e : buttons) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.button->Name, e.name);
        EXPECT_EQ(e.button->Caption(), e.caption);
        EXPECT_EQ(e.button->BoundsRect(), e.place);
        EXPECT_FALSE(e.button->Visible());
        EXPECT_TRUE(bool(e.button->OnClick));
    }
    EXPECT_EQ(UpdateForm->ImageList1->Name, "ImageList1");
    EXPECT_FALSE(UpdateForm->Visible());
}

TEST_F(UpdateFormTest, ConstructionAddsAMissingGlossaryColumnOnce)
{
    db.Exec("ALTER TABLE Substances DROP COLUMN GLossID");
    CreateWindows();
    EXPECT_EQ(TestDialogs().Shown(),
              QStringList({"Database format has changed.  Update Substances before continuing."}));
    EXPECT_EQ(Rows("SELECT name, GLossID FROM Substances"), QStringList({"Old one|<null>"}));

    // The next start finds the column and says nothing.
    delete UpdateForm;
    UpdateForm = nullptr;
    TestDialogs().Reset();
    Application->CreateForm(UpdateForm);
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(UpdateFormTest, LichenUpdateReplacesTheRowsThroughTheWaitWindow)
{
    CreateWindows();
    ClickWithWaitWindow(&TUpdateForm::LichenUpdateButtonClick);

    QStringList expectedTargets, expectedRows;
    for (const char* id : MorphologyAttributeIds) {
        expectedTargets << AttributeTarget(id);
        expectedRows << QString("Cladonia rangiferina|Atranorin %1|Cladonia").arg(id)
                     << "Usnea hirta|usnic acid|Usnea";
    }
    EXPECT_EQ(server.Requests(), expectedTargets);
    EXPECT_EQ(Lichens(), expectedRows);
    EXPECT_EQ(Rows("SELECT Lichen FROM LichensBackup"), QStringList({"Old lichen"}));
    EXPECT_EQ(WaitForm->Caption(), "Lichen update");
    EXPECT_EQ(WaitForm->Label1->Caption(), "Reconciling data...");   // the last phase's
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Complete"}));
    EXPECT_EQ(messagesAtHide, QList<qsizetype>({0}));   // hidden before "Complete"
    EXPECT_EQ(LichenDataDate, "1700000000");
    EXPECT_EQ(DatesFile(), "Substances\t0\r\nLichens\t1700000000");
}

TEST_F(UpdateFormTest, SubstanceUpdateReplacesTheRowsAndSetsGlossaryIds)
{
    CreateWindows();
    ClickWithWaitWindow(&TUpdateForm::SubstanceUpdateButtonClick);

    EXPECT_EQ(server.Requests(), QStringList({MetaboliteTarget, GlossaryTarget}));
    EXPECT_EQ(Substances(), QStringList({"Atranorin|75|cortex|12", "Zeorin|40|<null>|<null>"}));
    EXPECT_EQ(Rows("SELECT name FROM SubstancesBackup"), QStringList({"Old one"}));
    EXPECT_EQ(WaitForm->Caption(), "Updating substances");
    EXPECT_EQ(WaitForm->Label1->Caption(), "Inserting data");   // the last phase's
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Complete"}));
    EXPECT_EQ(SubstanceDataDate, "1700000000");
    EXPECT_EQ(DatesFile(), "Substances\t1700000000\r\nLichens\t0");
}

TEST_F(UpdateFormTest, AnEmptyAnswerChangesNoTableAndHidesTheWaitWindow)
{
    struct Case {
        const char* name;
        void (TUpdateForm::*handler)(TObject*);
        QString caption, label;
        QString emptyTarget;
        QString message;
        qsizetype messagesBeforeHide;
    };
    const Case cases[] = {
        {"lichens", &TUpdateForm::LichenUpdateButtonClick, "Lichen update", "Downloading data...",
         AttributeTarget("256"),
         "Data download failed. Database unchanged.", 0},
        // The substance update says so before it hides the window.
        {"substances", &TUpdateForm::SubstanceUpdateButtonClick, "Updating substances",
         "Downloading data", MetaboliteTarget,
         "Error connecting to internet", 1},
    };
    CreateWindows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialogs().Reset();
        messagesAtHide.clear();
        server.Route(c.emptyTarget, FakeResponse::Empty());
        ClickWithWaitWindow(c.handler);
        EXPECT_EQ(Lichens(), QStringList({"Old lichen|Old substance|Old"}));
        EXPECT_EQ(Substances(), QStringList({"Old one|10|<null>|7"}));
        EXPECT_EQ(WaitForm->Caption(), c.caption);
        EXPECT_EQ(WaitForm->Label1->Caption(), c.label);
        EXPECT_FALSE(WaitForm->Visible());
        EXPECT_EQ(TestDialogs().Shown(), QStringList({c.message}));
        EXPECT_EQ(messagesAtHide, QList<qsizetype>({c.messagesBeforeHide}));
    }
    EXPECT_EQ(DatesFile(), "<none>");
}

TEST_F(UpdateFormTest, AClickWhileAnUpdateRunsIsRefused)
{
    CreateWindows();
    // Runs inside the lichen update's first round of pending messages, as a
    // menu command chosen meanwhile would.
    bool clickedWhileRunning = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&clickedWhileRunning] {
            clickedWhileRunning = UpdateIsRunning();
            UpdateForm->SubstanceUpdateButtonClick(nullptr);
        },
        Qt::QueuedConnection);
    ClickWithWaitWindow(&TUpdateForm::LichenUpdateButtonClick);
    QCoreApplication::processEvents();   // never leave the click queued past the test

    ASSERT_TRUE(clickedWhileRunning);

    EXPECT_FALSE(server.Requests().contains(MetaboliteTarget));
    EXPECT_EQ(server.Requests().size(), qsizetype(MorphologyAttributeIds.size()));
    EXPECT_EQ(Substances(), QStringList({"Old one|10|<null>|7"}));
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Complete"}));
    EXPECT_EQ(WaitForm->Caption(), "Lichen update");
}

TEST_F(UpdateFormTest, VersionCheckAsksTheVersionPageAndRemindsOfOldData)
{
    VersionPageAddress = server.BaseAddress() + "/Lichen/Version.html";
    server.Route("/Lichen/Version.html", FakeResponse::Ok("1.2.3.0\r\n", "text/html"));
    QFile dates(db.Dir() + "/UpdateDates.txt");
    ASSERT_TRUE(dates.open(QIODevice::WriteOnly));
    dates.write("Substances\t1600000000\r\nLichens\t1699990000");   // 1157 days, and recent
    dates.close();
    CreateWindows();
    request.ConnectionTimeout = 1234;

    ClickWithWaitWindow(&TUpdateForm::VersionCheckButtonClick);

    EXPECT_EQ(server.Requests(), QStringList({"/Lichen/Version.html"}));
    EXPECT_EQ(TestDialogs().Shown(),
              QStringList({"Current Program Version: 1.2.2.0\r\nNew Version: 1.2.3.0\r\n\r\n View Help for link.",
                           "Update Substance database. Current data is 1157 days old."}));
    EXPECT_EQ(messagesAtHide.first(), 0) << "hidden before the new-version message";
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(WaitForm->Caption(), "Checking for updates...");
    EXPECT_EQ(request.ConnectionTimeout, 60000);
    EXPECT_EQ(SubstanceDataDate, "1600000000");
    EXPECT_EQ(LichenDataDate, "1699990000");
}

TEST_F(UpdateFormTest, VersionCheckWithInternetOffEndsQuietlyAndRestoresTheTimeout)
{
    CreateWindows();
    InternetEnabled = false;
    request.ConnectionTimeout = 1234;
    ClickWithWaitWindow(&TUpdateForm::VersionCheckButtonClick);
    EXPECT_EQ(WaitForm->Caption(), "Checking for updates...");
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_EQ(request.ConnectionTimeout, 60000);
    EXPECT_TRUE(server.Requests().isEmpty());
}

} // namespace
