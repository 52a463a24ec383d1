// The data updates after the windows have been used as a user uses them:
// whatever the windows read last, the updates find the database free, end
// "Complete" and leave the new rows in the tables. Every step is driven by
// pointer and keyboard on the program's own windows; the portal and the
// internet probe are a local server.
#include "UpdateTestKit.h"
#include "core/program_state_kit.h"
#include "support/FakeHttpServer.h"
#include "support/FileBytes.h"
#include "support/FixtureDb.h"
#include "support/ListInput.h"
#include "support/ScriptedDialogs.h"
#include "support/TestImages.h"

#include "config/SearchConfig.h"
#include "core/Entry.h"
#include "core/HintWindow.h"
#include "core/MainWindow.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "identify/SpotFiles.h"
#include "lichens/LichenList.h"
#include "lichens/LichenMatches.h"
#include "lichens/OneLichen.h"
#include "substances/RecordList.h"
#include "substances/SubstanceImage.h"
#include "substances/ViewRecord.h"
#include "update/LichenUpdate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString GlossaryTarget = "/portal/glossary/index.php";

const QByteArray AtranorinRecord =
    "\"name\":\"Atranorin\",\"A\":75,\"Notes\":\"cortex\",\"initialTimestamp\":\"2021-03-04\"";
const QByteArray ZeorinRecord = "\"name\":\"Zeorin\",\"A\":40,\"Notes\":null,\"initialTimestamp\":\"2021-03-05\"";
const QByteArray UsnicAcidRecord =
    "\"name\":\"Usnic acid\",\"A\":70,\"Notes\":null,\"initialTimestamp\":\"2021-03-06\"";

const QByteArray GlossaryPage =
    "<html><body>\n"
    "<a href=\"#\" onclick=\"openPopup(12,'g');\">Atranorin</a><br>\n"
    "</body></html>\n";

// The substance table before any update, and after each of the two.
const QStringList OldSubstances = {"Atranorin|75|<null>|12", "Chloroatranorin|74|<null>|<null>",
                                   "Zeorin|34|<null>|<null>"};
const QStringList FirstSubstances = {"Atranorin|75|cortex|12", "Zeorin|40|<null>|<null>"};
const QStringList SecondSubstances = {"Atranorin|75|cortex|12", "Zeorin|40|<null>|<null>",
                                      "Usnic acid|70|<null>|<null>"};

constexpr long long LichenDay = 1700000000;
constexpr long long FirstSubstanceDay = LichenDay + 86400;
constexpr long long SecondSubstanceDay = LichenDay + 2 * 86400;

class UpdateAfterUse : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One spot (A 75, C 79) matches Atranorin and Chloroatranorin;
        // three lichens hold Atranorin.
        db.InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"B", 73}, {"C", 79}, {"GroupName", "Depsides"},
                            {"GLossID", "12"}});
        db.InsertSubstance({{"name", "Chloroatranorin"}, {"A", 74}, {"B", 72}, {"C", 78}, {"GroupName", "Depsides"}});
        db.InsertSubstance({{"name", "Zeorin"}, {"A", 34}, {"B", 33}, {"C", 39}, {"GroupName", "Terpenoids"}});
        db.InsertLichen("Parmelia sulcata", "Atranorin", "Parmelia");
        db.InsertLichen("Parmelia sulcata", "Zeorin", "Parmelia");
        db.InsertLichen("Physcia aipolia", "Atranorin", "Physcia");
        db.InsertLichen("Cladonia rangiferina", "Chloroatranorin", "Cladonia");
        db.InsertLichen("Cladonia rangiferina", "Atranorin", "Cladonia");
        // Left by an earlier substance update, as on any database updated before.
        db.Exec("CREATE TABLE SubstancesBackup " + FixtureDb::SubstancesColumnsSql());
        ASSERT_TRUE(QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), db.Dir() + "/Default.scfg"));
        db.CloseHandle();
        ASSERT_TRUE(QDir::setCurrent(db.Dir()));

        ServePortal();
        InternetProbeAddress = server.Url("/");
        PortalBaseAddress = server.BaseAddress();
        SetUnixNowForTesting(LichenDay);
        LichenDataDate = "0";
        SubstanceDataDate = "0";
        CreateAllForms();
        Form1->Show();
        Form1->BringToFront();
        QApplication::processEvents();
        LoadSpotFile();
        server.ClearRequests();
        TestDialogs().Reset();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QMenu")) w->hide();
        SetUnixNowForTesting(0);
        LichenDataDate = "0";
        SubstanceDataDate = "0";
    }

    void ServePortal()
    {
        server.Route("/", FakeResponse::Ok("<html>up</html>"));
        for (const char* id : MorphologyAttributeIds)
            ServePortalList(server, AttributePath(id),
                            MorphologyRecords({{"Atranorin", QString("Lecanora species ") + id},
                                               {"usnic acid", "Usnea hirta"}}));
        ServePortalList(server, MetabolitePath, MetaboliteRecords({AtranorinRecord, ZeorinRecord}));
        server.Route(GlossaryTarget, FakeResponse::Ok(GlossaryPage));
        // The glossary pages of the record window: Atranorin has a picture.
        const QByteArray picturePage = ("<img src=\"" + server.Url("/img/0.jpg") + "\">").toUtf8();
        server.RoutePrefix("/portal/glossary/individual.php", [picturePage](const QString& target) {
            return FakeResponse::Ok(target.endsWith("glossid=12") ? picturePage : "<p>no pictures</p>");
        });
        server.Route("/img/0.jpg", FakeResponse::Ok(SolidJpeg(Qt::red), "image/jpeg"));
        // The one-lichen window's taxon look-up: no taxon, so no photographs.
        server.RoutePrefix("/portal/api/v2/taxonomy",
                           [](const QString&) { return FakeResponse::Ok("{\"count\":0,\"results\":[]}"); });
    }

    // The spot file opened through File > Open spot file.
    void LoadSpotFile()
    {
        TSubstanceRecord spot;
        spot.name = QStringLiteral("Spot 1");
        spot.A = QStringLiteral("75");
        spot.C = QStringLiteral("79");
        const QString path = db.Dir() + "/session.spot";
        ASSERT_TRUE(WriteSpotFile(path, {spot}));
        TestDialogs().NextFileName(path);
        ClickMenu(Form1->File1, Form1->Open1);
        ASSERT_EQ(Tree()->findItems("Atranorin", Qt::MatchExactly).size(), 1);
    }

    // ------------------------------------------------ pointer and keyboard

    static QTreeWidget* Tree() { return Form1->SpotListView->Tree(); }
    // The middle of a row's caption, in the coordinates of the rows.
    static QPoint RowPoint(const QString& caption)
    {
        const QList<QTreeWidgetItem*> found = Tree()->findItems(caption, Qt::MatchExactly);
        if (found.size() != 1) {
            ADD_FAILURE() << "no row " << caption.toStdString();
            return {};
        }
        return QPoint(40, Tree()->visualItemRect(found[0]).center().y());
    }

    // Opens a drop-down of the menu bar by a click on its title and clicks
    // the item in it; the pointer travels to the bar first, leaving
    // whatever it rested on.
    static void ClickMenu(TMenuItem* top, TMenuItem* item)
    {
        QMenuBar* bar = Form1->MainMenu1->MenuBar();
        const QPoint title = bar->actionGeometry(top->Action()).center();
        QTest::mouseMove(bar, title);
        QTest::mouseClick(bar, Qt::LeftButton, {}, title);
        QMenu* menu = top->SubMenu();
        ASSERT_TRUE(menu->isVisible()) << top->Caption().toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item->Action()).center());
        QApplication::processEvents();
    }

    static void ClickMatchingMethod(const QString& caption)
    {
        for (QRadioButton* button : Form1->MatchingMethodRadioGroup->Widget()->findChildren<QRadioButton*>())
            if (button->text() == caption) {
                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
                return;
            }
        ADD_FAILURE() << "no matching method " << caption.toStdString();
    }

    static QStringList Lines(TListBox* box) { return box->Items()->ToStringList(); }

public:
    // ------------------------------------------------ steps of ordinary use

    // The pointer comes to rest on a substance row and the count hint shows.
    void RestOnSubstanceRow(const QString& expectedHint)
    {
        // Qt drops a move to where the pointer already is: start elsewhere.
        QTest::mouseMove(Form1->Button1->Widget(), QPoint(3, 3));
        QTest::mouseMove(Tree()->viewport(), RowPoint("Atranorin"));
        ASSERT_TRUE(HintForm->Visible());
        EXPECT_EQ(HintForm->Panel->Caption(), expectedHint);
    }
    void CountHint() { RestOnSubstanceRow("3 Lichens"); }

    void RecordFromSubstanceList()
    {
        ClickMenu(Form1->Data1, Form1->ViewRecord1);
        ASSERT_TRUE(RecordListForm->Visible());
        ASSERT_TRUE(DoubleClickLine(RecordListForm->RecordListBox->List(), "Atranorin"));
        EXPECT_TRUE(ViewRecordForm->Visible());
        EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Atranorin");
        EXPECT_EQ(Lines(ViewRecordForm->LichenListBox),
                  QStringList({"Cladonia rangiferina", "Parmelia sulcata", "Physcia aipolia"}));
    }

    // A click on the record's picture shows the substance's images.
    void RecordPictures()
    {
        RecordFromSubstanceList();
        ASSERT_TRUE(ViewRecordForm->Image1->Visible());
        QTest::mouseClick(ViewRecordForm->Image1->Widget(), Qt::LeftButton);
        EXPECT_TRUE(SubstanceImageForm->Visible());
        EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    }

    void LichenSearch()
    {
        ClickMenu(Form1->Lichens1, Form1->ViewLichens1);
        ASSERT_TRUE(LichenListForm->Visible());
        EXPECT_EQ(Lines(LichenListForm->LichenListBox).size(), 3);
        QTest::keyClicks(LichenListForm->SearchWordEdit->LineEdit(), "parm");
        EXPECT_EQ(Lines(LichenListForm->LichenListBox), QStringList({"Parmelia sulcata"}));
    }

    void MatchingWithBothMethods()
    {
        for (const auto& [caption, index] : {std::pair<QString, int>{"Correlation", 1}, {"RF Error", 0}}) {
            SCOPED_TRACE(caption.toStdString());
            ClickMatchingMethod(caption);
            EXPECT_EQ(Form1->MatchingMethodRadioGroup->ItemIndex(), index);
            EXPECT_EQ(SearchConfigForm->MatchingMethodRadioGroup->ItemIndex(), index);
            EXPECT_EQ(Tree()->findItems("Spot 1", Qt::MatchExactly).size(), 1);
        }
        EXPECT_EQ(Tree()->findItems("Atranorin", Qt::MatchExactly).size(), 1);
    }

    void LichenMatchesAndOneLichen()
    {
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, RowPoint("Atranorin"));
        QTest::mouseClick(Form1->ViewLichensButton->Widget(), Qt::LeftButton);
        ASSERT_TRUE(LichenMatchesForm->Visible());
        EXPECT_EQ(Lines(LichenMatchesForm->LichenListBox),
                  QStringList({"Substances:", "Atranorin", "", "Lichens:", "Parmelia sulcata", "Physcia aipolia",
                               "Cladonia rangiferina"}));
        ASSERT_TRUE(DoubleClickLine(LichenMatchesForm->LichenListBox->List(), "Parmelia sulcata"));
        EXPECT_TRUE(OneLichenForm->Visible());
        EXPECT_EQ(OneLichenForm->LichenNameLabel->Caption(), "Parmelia sulcata");
        EXPECT_EQ(Lines(OneLichenForm->ListBox), QStringList({"Atranorin", "Zeorin"}));
    }

protected:
    // ------------------------------------------------ the updates, from the main menu

    // Chooses an update in the main menu and confirms its question with OK;
    // whether it ended "Complete" (and nothing else was said).
    static bool RunUpdateFromMenu(TMenuItem* top, TMenuItem* item, const QString& question)
    {
        TestDialogs().Reset();
        TestDialogs().AnswerNext(mrOk);
        ClickMenu(top, item);
        EXPECT_FALSE(WaitForm->Visible());
        const QStringList expected{question, "Complete"};
        EXPECT_EQ(TestDialogs().Shown(), expected);
        return TestDialogs().Shown() == expected;
    }

    void UpdateLichenData()
    {
        SetUnixNowForTesting(LichenDay);
        if (!RunUpdateFromMenu(Form1->Lichens1, Form1->UpdateLichenData1,
                               "This will replace all existing Lichen data. Continue?"))
            return;
        QStringList lichens;
        for (const char* id : MorphologyAttributeIds)
            lichens << QString("Lecanora species %1|Atranorin|Lecanora").arg(id) << "Usnea hirta|usnic acid|Usnea";
        EXPECT_EQ(QueryRows(db, "SELECT Lichen, Substance, Genus FROM Lichens ORDER BY rowid"), lichens);
        EXPECT_EQ(QString::fromLatin1(LichenDataDate), QString::number(LichenDay));
    }

    // `records` is what the portal now sends; the table held `before`.
    void UpdateSubstanceData(long long day, const QList<QByteArray>& records, const QStringList& before,
                             const QStringList& after)
    {
        SetUnixNowForTesting(day);
        ServePortalList(server, MetabolitePath, MetaboliteRecords(records));
        if (!RunUpdateFromMenu(Form1->Data1, Form1->DownloadSubstanceData1,
                               "This will replace all existing Substance data. Continue?"))
            return;
        EXPECT_EQ(QueryRows(db, "SELECT name, A, Notes, GLossID FROM Substances ORDER BY rowid"), after);
        EXPECT_EQ(QueryRows(db, "SELECT name, A, Notes, GLossID FROM SubstancesBackup ORDER BY rowid"), before);
        EXPECT_EQ(QString::fromLatin1(SubstanceDataDate), QString::number(day));
    }

    // The lichen update, then the substance update twice, the second with
    // one record more.
    void EveryUpdate()
    {
        {
            SCOPED_TRACE("Update Lichen Data");
            UpdateLichenData();
        }
        {
            SCOPED_TRACE("first Update Substance Data");
            UpdateSubstanceData(FirstSubstanceDay, {AtranorinRecord, ZeorinRecord}, OldSubstances,
                                FirstSubstances);
        }
        {
            SCOPED_TRACE("second Update Substance Data");
            UpdateSubstanceData(SecondSubstanceDay, {AtranorinRecord, ZeorinRecord, UsnicAcidRecord},
                                FirstSubstances, SecondSubstances);
        }
        EXPECT_EQ(DatesFile(), QStringLiteral("Substances\t%1\r\nLichens\t%2").arg(SecondSubstanceDay).arg(LichenDay));
    }

    QString DatesFile() const { return QString::fromLatin1(FileBytes(db.Dir() + "/UpdateDates.txt", "<none>")); }

    FixtureDb db;
    FakeHttpServer server;
    // Last, so the windows are gone before the server and the database folder.
    SavedProgramState saved;
};

struct SessionStep {
    const char* title;
    void (UpdateAfterUse::*run)();
};
void PrintTo(const SessionStep& s, std::ostream* os) { *os << s.title; }

class UpdateAfterOneStep : public UpdateAfterUse, public ::testing::WithParamInterface<SessionStep> {};

// The steps of a session, in the order a user takes them.
const SessionStep Steps[] = {
    {"count hint over a substance row", &UpdateAfterUse::CountHint},
    {"record opened from the substance list", &UpdateAfterUse::RecordFromSubstanceList},
    {"pictures of the record", &UpdateAfterUse::RecordPictures},
    {"lichen search", &UpdateAfterUse::LichenSearch},
    {"matching with both methods", &UpdateAfterUse::MatchingWithBothMethods},
    {"lichen matches and one lichen", &UpdateAfterUse::LichenMatchesAndOneLichen},
};

TEST_P(UpdateAfterOneStep, EveryUpdateCompletes)
{
    (this->*GetParam().run)();
    ASSERT_FALSE(HasFatalFailure());
    EveryUpdate();
}

INSTANTIATE_TEST_SUITE_P(Steps, UpdateAfterOneStep, ::testing::ValuesIn(Steps), TitleName());

TEST_F(UpdateAfterUse, AWholeSessionThenEveryUpdateCompletesAndAgainAfterTheHint)
{
    for (const SessionStep& step : Steps) {
        SCOPED_TRACE(step.title);
        (this->*step.run)();
        ASSERT_FALSE(HasFatalFailure());
    }
    EveryUpdate();

    // Back on the spot list, the count comes from the new rows; the updates
    // that follow still find the database free.
    RestOnSubstanceRow("23 Lichens");
    {
        SCOPED_TRACE("Update Substance Data after the hint");
        UpdateSubstanceData(SecondSubstanceDay, {AtranorinRecord, ZeorinRecord, UsnicAcidRecord}, SecondSubstances,
                            SecondSubstances);
    }
    {
        SCOPED_TRACE("Update Lichen Data after the hint");
        UpdateLichenData();
    }
}

} // namespace
