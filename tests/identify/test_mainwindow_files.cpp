// The main window's files and searches: spot files, the CSV export, the
// lichen searches over selected rows, the hover count, quit, About and the
// orphan list.
#include "test_mainwindow_fixture.h"

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QTreeWidget>
#include <algorithm>

namespace {

const QByteArray TwoSpotsFile = "Name: Spot 1\r\nA: 75\r\nC: 79\r\n\r\nName: Spot 2\r\nA: 40\r\nC: 30\r\n\r\n";

// One CSV line: the quoted caption and 19 cells, the given ones filled.
QString Line(const QString& caption, const std::map<int, QString>& cells)
{
    QStringList fields{"\"" + caption + "\""};
    for (int k = 0; k < 19; ++k) fields << (cells.count(k) ? cells.at(k) : QString());
    return fields.join(",");
}

TEST_F(MainWindowTest, SavingASpotFileWritesTheBlocksAndMarksSavedOnlyOnSuccess)
{
    Form1->MainMenuSaveSpotFileClick(nullptr);
    EXPECT_EQ(TestDialogs().Messages(), QStringList({"No spots to save"}));
    EXPECT_TRUE(TestDialogs().FileRequests().empty());

    TwoSpots();
    Form1->MatchAllSpots();
    SpotsSaved = false;
    Form1->SaveIcon->SetEnabled(true);
    TestDialogs().NextFileName(Path("missing/folder/x.spot"));
    Form1->SaveIconClick(nullptr);
    EXPECT_FALSE(SpotsSaved);
    EXPECT_TRUE(Form1->SaveIcon->Enabled());

    TestDialogs().NextFileName(Path("plate.spot"));
    Form1->MainMenuSaveSpotFileClick(nullptr);
    EXPECT_EQ(FileBytes(Path("plate.spot")), TwoSpotsFile);
    EXPECT_TRUE(SpotsSaved);
    EXPECT_FALSE(Form1->SaveIcon->Enabled());
    ASSERT_FALSE(TestDialogs().FileRequests().empty());
    EXPECT_TRUE(TestDialogs().FileRequests().back().Save);
    EXPECT_EQ(TestDialogs().FileRequests().back().Filter, "Spot files (*.spot)|*.spot");
}

TEST_F(MainWindowTest, OpeningASpotFileAsksForUnsavedSpotsAndKeepsThemOnFailure)
{
    // A trailing line end and bare line feeds make no extra spot.
    WriteBytes(Path("a.spot"), TwoSpotsFile + "\r\n");
    WriteBytes(Path("b.spot"), "Name: Spot 1\nA: 34\nC: 39\n\n");

    TestDialogs().NextFileName(Path("a.spot"));
    Form1->MainMenuOpenSpotFileClick(nullptr);
    EXPECT_TRUE(TestDialogs().Questions().empty());
    ASSERT_EQ(Spots.size(), 2u);
    EXPECT_EQ(Spots[1].name, "Spot 2");
    EXPECT_EQ(Spots[1].C, "30");
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}));
    EXPECT_TRUE(Form1->ViewLichensButton->Enabled());
    EXPECT_EQ(TestDialogs().FileRequests().back().Filter, "Spot files (*.spot)|*.spot");
    EXPECT_EQ(TestDialogs().FileRequests().back().FileName, "*.spot");

    // Unsaved: Cancel leaves everything and opens no dialog.
    SpotsSaved = false;
    TestDialogs().Reset();
    TestDialogs().AnswerNext(mrCancel);
    Form1->LoadIconClick(nullptr);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Spot data will be cleared.  Continue?"}));
    EXPECT_TRUE(TestDialogs().FileRequests().empty());
    EXPECT_EQ(Spots.size(), 2u);

    // A file that cannot be read keeps the current spots.
    TestDialogs().Reset();
    TestDialogs().NextFileName(Path("gone.spot"));
    Form1->MainMenuOpenSpotFileClick(nullptr);
    ASSERT_EQ(TestDialogs().Messages().size(), 1);
    EXPECT_TRUE(TestDialogs().Messages()[0].startsWith("Unable to open file: "));
    EXPECT_EQ(Spots.size(), 2u);
    EXPECT_EQ(Captions().size(), 5);

    TestDialogs().Reset();
    TestDialogs().NextFileName(Path("b.spot"));
    Form1->MainMenuOpenSpotFileClick(nullptr);
    ASSERT_EQ(Spots.size(), 1u);
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Zeorin"}));
    EXPECT_FALSE(SpotsSaved);   // loaded spots count as saved only if they were

    // Cancelling the dialog still enables the lichen button and sorts by match.
    Form1->ViewLichensButton->SetEnabled(false);
    SortColumn = 3;
    SpotsSaved = true;
    Form1->MainMenuOpenSpotFileClick(nullptr);
    EXPECT_TRUE(Form1->ViewLichensButton->Enabled());
    EXPECT_EQ(SortColumn, 100);
}

TEST_F(MainWindowTest, CsvExportWritesTheListAsShown)
{
    TwoSpots();
    Form1->MatchAllSpots();
    TestDialogs().NextFileName(Path("out.csv"));
    Form1->ExportData1Click(nullptr);
    const QString expected =
        ",A,B,Bprime,C,E,F,G,HPLC,Before Char Vis,Before Char UV,Long Wave UV,Archers,After Char Vis,"
        "After Char UV,KResult,CResult,KCResult,PDResult,Cortex\r\n"
        + Line("Spot 1", {{0, "75"}, {3, "79"}}) + "\r\n"
        + Line("Atranorin", {{0, "75"}, {1, "73"}, {3, "79"}, {10, "Yellow"}}) + "\r\n"
        + Line("Chloroatranorin", {{0, "74"}, {1, "72"}, {3, "78"}}) + "\r\n"
        + "\r\n"
        + Line("Spot 2", {{0, "40"}, {3, "30"}}) + "\r\n"
        + Line("Norstictic acid", {{0, "40"}, {1, "32"}, {3, "30"}}) + "\r\n";
    EXPECT_EQ(FileBytes(Path("out.csv")), expected.toUtf8());
    EXPECT_EQ(TestDialogs().Messages(), QStringList({"out.csv Saved"}));
    EXPECT_EQ(TestDialogs().FileRequests().back().Filter, "CSV files (*.csv)|*.csv");

    // A cune row follows its spot row directly.
    Form1->ApplyCuneCheckBox->SetChecked(true);
    TestDialogs().Reset();
    TestDialogs().NextFileName(Path("cune.csv"));
    Form1->ExportData1Click(nullptr);
    const QStringList lines = QString::fromUtf8(FileBytes(Path("cune.csv"))).split("\r\n");
    ASSERT_GE(lines.size(), 4);
    EXPECT_TRUE(lines[1].startsWith("\"Spot 1\","));
    EXPECT_EQ(lines[2], Line("Spot 1 - Cune", {{0, "75"}, {3, "79"}}));

    // A failed write shows no " Saved".
    TestDialogs().Reset();
    TestDialogs().NextFileName(Path("missing/out.csv"));
    Form1->ExportData1Click(nullptr);
    EXPECT_FALSE(TestDialogs().Messages().contains("out.csv Saved"));
}

TEST_F(MainWindowTest, SavingAFullFileMarksTheSpotsSavedOnlyWhenWritten)
{
    TwoSpots();
    Form1->MatchAllSpots();
    SpotsSaved = false;
    Form1->SaveIcon->SetEnabled(true);
    TestDialogs().NextFileName(Path("missing/folder/x.ful"));
    Form1->MainMenuSaveFullFileClick(nullptr);
    EXPECT_FALSE(SpotsSaved);
    EXPECT_TRUE(Form1->SaveIcon->Enabled());

    TestDialogs().NextFileName(Path("all.ful"));
    Form1->SaveAllIconClick(nullptr);
    EXPECT_TRUE(SpotsSaved);
    EXPECT_FALSE(Form1->SaveIcon->Enabled());
    EXPECT_EQ(TestDialogs().FileRequests().back().Filter, "Full files (*.ful)|*.ful");
    const QString text = QString::fromUtf8(FileBytes(Path("all.ful")));
    EXPECT_TRUE(text.contains("Full file from Quillaspore\r\n***** TLC Spot Tests *****\r\n"
                              + QString::fromLatin1(TwoSpotsFile) + "\r\n***** Search Configuration *****\r\n"));
    EXPECT_TRUE(text.endsWith("\r\n***** Thallus test configuration *****\r\n"));
}

class LichenSearchWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (const char* name : {"Spot 1", "Atranorin", "Salazinic acid", "Spot 2", "Spot 2 - Cune", "Norstictic acid",
                                 "Chloroatranorin", "Odd \"name\""}) {
            TSubstanceRecord r;
            r.name = QString::fromUtf8(name);
            Form1->AddSpotListRow(r);
        }
    }
    static void Select(const QStringList& captions)
    {
        Form1->SpotListView->ClearSelection();
        for (const QString& c : captions) Row(c)->SetSelected(true);
    }
};

TEST_F(LichenSearchWindow, ViewLichensExactAndInexactWithTheCountOnTheButton)
{
    Select({"Atranorin", "Salazinic acid"});
    EXPECT_EQ(Form1->ViewLichensButton->Caption(), "2 Lichens");

    LichenMatchesForm->MatchRadio->SetItemIndex(1);   // Inexact
    Form1->ViewLichensButtonClick(nullptr);
    QStringList lines = LichenLines();
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.mid(0, 5), QStringList({"Substances:", "Atranorin", "Salazinic acid", "", "Lichens:"}));
    QStringList lichens = lines.mid(5);
    std::sort(lichens.begin(), lichens.end());
    EXPECT_EQ(lichens, QStringList({"Parmelia saxatilis", "Parmelia sulcata"}));
    EXPECT_TRUE(LichenMatchesForm->Visible());

    // Exact: a lichen with a third substance is left out.
    LichenMatchesForm->MatchRadio->SetItemIndex(0);
    Form1->ViewLichensButtonClick(nullptr);
    EXPECT_EQ(LichenLines().mid(5), QStringList({"Parmelia sulcata"}));

    // One substance, case changed in the database comparison: all its lichens.
    Select({"Chloroatranorin"});
    EXPECT_EQ(Form1->ViewLichensButton->Caption(), "1 Lichens");
    // A name with a double quote is searched as it is.
    Select({"Odd \"name\""});
    EXPECT_EQ(Form1->ViewLichensButton->Caption(), "0 Lichens");
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    // A spot row added to the selection leaves the count of the substances;
    // deselecting everything leaves the last count.
    Select({"Atranorin", "Spot 1"});
    EXPECT_EQ(Form1->ViewLichensButton->Caption(), "4 Lichens");
    Select({});
    EXPECT_EQ(Form1->ViewLichensButton->Caption(), "4 Lichens");
}

TEST_F(LichenSearchWindow, ViewLichensOnSpotCuneAndEmptySelections)
{
    Select({});
    Form1->ViewLichensButtonClick(nullptr);
    EXPECT_EQ(TestDialogs().Messages(), QStringList({"No substances selected"}));
    EXPECT_TRUE(LichenLines().isEmpty());

    QStringList opened;
    Form1->OnOpenSubstanceRecord = [&](const QString& name) { opened << name; };
    Select({"Atranorin", "Spot 2"});
    Form1->ViewLichensButtonClick(nullptr);
    EXPECT_EQ(opened, QStringList({"Spot 2"}));
    EXPECT_FALSE(LichenMatchesForm->Visible());

    Select({"Spot 2 - Cune"});
    Form1->ViewLichensButtonClick(nullptr);
    EXPECT_TRUE(CuneForm->Visible());
    EXPECT_FALSE(LichenMatchesForm->Visible());
}

TEST_F(LichenSearchWindow, HoverCountsTheRowUnderTheMouseAndHidesOverSpotRows)
{
    QApplication::processEvents();
    QTreeWidget* tree = Form1->SpotListView->Tree();
    auto hover = [&](const QString& caption, int x = 10) {
        const int index = Row(caption)->Index();
        const QRect rect = tree->visualItemRect(tree->topLevelItem(index));
        Form1->Hint(nullptr, 0, x, rect.center().y());
    };
    hover("Atranorin");
    EXPECT_TRUE(HintForm->Visible());
    EXPECT_EQ(HintForm->Panel->Caption(), "4 Lichens");
    hover("Chloroatranorin");
    EXPECT_EQ(HintForm->Panel->Caption(), "1 Lichen");
    for (const char* spotRow : {"Spot 2", "Spot 2 - Cune", "Spot 1"}) {
        hover("Atranorin");
        hover(spotRow);
        EXPECT_FALSE(HintForm->Visible()) << spotRow;
    }
    hover("Atranorin");
    hover("Atranorin", 251);
    EXPECT_FALSE(HintForm->Visible());
}

TEST_F(LichenSearchWindow, AllMatchesListsEveryPairWithCommonLichensAndHidesTheWait)
{
    Form1->AllLichensButtonClick(nullptr);
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(WaitForm->Label1->Caption(), "This may take a minute or so...");
    EXPECT_TRUE(LichenMatchesForm->Visible());
    const QStringList lines = LichenLines();
    // Atranorin pairs with Salazinic acid (two lichens) and Chloroatranorin (one).
    const int first = lines.indexOf("Substances:");
    ASSERT_EQ(first, 0);
    EXPECT_EQ(lines.mid(0, 4), QStringList({"Substances:", "Atranorin", "Salazinic acid", "Lichens:"}));
    // Pairs with a common lichen: Atr/Sal, Atr/Nor, Atr/Chloro, Sal/Nor.
    EXPECT_EQ(lines.count("Substances:"), 4);
    EXPECT_TRUE(lines.contains("Cladonia rangiferina"));

    // Fewer than two rows: the message, and the wait window goes away.
    Spots.clear();
    Form1->MatchAllSpots();
    TSubstanceRecord one;
    one.name = "Atranorin";
    Form1->AddSpotListRow(one);
    TestDialogs().Reset();
    Form1->AllLichensButtonClick(nullptr);
    EXPECT_EQ(TestDialogs().Messages(), QStringList({"Not enough substances"}));
    EXPECT_FALSE(WaitForm->Visible());

    // A database failure ends the search with its message; the wait window goes too.
    Form1->AddSpotListRow(one);
    Form1->SQLConnection1->ExecuteDirect("DROP TABLE Lichens");
    EXPECT_THROW(Form1->AllLichensButtonClick(nullptr), EDatabaseError);
    EXPECT_FALSE(WaitForm->Visible());
}

TEST_F(MainWindowTest, QuitWritesCurrentSearchThenAsksWhatIsUnsaved)
{
    struct Case { bool spotsSaved, configSaved; std::vector<int> answers; bool quits; int questions; };
    const Case cases[] = {
        {true, true, {}, true, 0},
        {false, true, {mrCancel}, false, 1},
        {false, true, {mrOk}, true, 1},
        {false, false, {mrOk, mrCancel}, false, 2},
        {false, false, {mrOk, mrOk}, true, 2},
        {true, false, {mrCancel}, false, 1},
        {true, false, {mrOk}, true, 1},
    };
    Form1->MatchingMethodRadioGroup->SetItemIndex(1);
    SearchConfigFileName = "Default.scfg";
    for (const Case& c : cases) {
        QFile::remove(Path("CurrentSearch.cfg"));
        SpotsSaved = c.spotsSaved;
        SearchConfigSaved = c.configSaved;
        TestDialogs().Reset();
        for (int a : c.answers) TestDialogs().AnswerNext(a);
        if (c.quits) {
            EXPECT_THROW(Form1->MainMenuQuitClick(nullptr), EHalt);
            EXPECT_EQ(LastHaltStatus(), 0);
        } else {
            Form1->MainMenuQuitClick(nullptr);
        }
        EXPECT_EQ(int(TestDialogs().Questions().size()), c.questions);
        EXPECT_EQ(FileBytes(Path("CurrentSearch.cfg")), QByteArray("ConfigFile: Default.scfg\r\nMatchingMethod: 1"));
    }
    TestDialogs().Reset();
    SpotsSaved = false;
    TestDialogs().AnswerNext(mrCancel);
    Form1->Quit1->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Spot data not saved.  Really quit?"}));

    // The title-bar close goes the same way and refuses the close when the user stays.
    TestDialogs().Reset();
    TestDialogs().AnswerNext(mrCancel);
    TCloseAction action = caHide;
    Form1->FormClose(Form1, action);
    EXPECT_EQ(action, caNone);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Spot data not saved.  Really quit?"}));
}

TEST_F(MainWindowTest, AboutShowsVersionAndDataDates)
{
    SetUnixNowForTesting(1709640000);   // 2024-03-05 12:00 UTC
    LichenDataDate = CurrentDataDate();
    Form1->About->Click();
    ASSERT_EQ(TestDialogs().Questions().size(), 1u);
    const auto& q = TestDialogs().Questions()[0];
    // The month is the system locale's abbreviation ("Mar" under C and English).
    const QString march5 = QLocale::system().toString(QDate(2024, 3, 5), QStringLiteral("MMM d, yyyy"));
    EXPECT_TRUE(q.Text.startsWith("Program Version 1.2.2.0\r\nLichen Data:     " + march5 +
                                  "\r\nSubstance Data:  Unknown\r\n\r\n"))
        << q.Text.toStdString();
    EXPECT_EQ(q.Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(q.Buttons, mbOK);
}

TEST_F(MainWindowTest, MenuCommandsOpenTheirWindows)
{
    Form1->Search1->Click();
    EXPECT_TRUE(SearchConfigForm->Visible());
    Form1->TLCRF1->Click();
    EXPECT_TRUE(RFForm->Visible());
    Form1->Cune1->Click();
    EXPECT_TRUE(CuneForm->Visible());
    Form1->Help2->Click();
    EXPECT_TRUE(HelpForm->Visible());
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpContentsPage());
    Form1->ReadLIASFile1Click(nullptr);
    EXPECT_EQ(TestDialogs().Messages().last(), "In ReadLIASFile1Click.  Shouldn't be here.");
}

TEST_F(MainWindowTest, OrphanCommandListsRelatedNamesWithoutARecord)
{
    Form1->Button3Click(nullptr);
    EXPECT_EQ(FileBytes(Path("BioRel.txt")), QByteArray("Orphanic acid\r\nLobaric acid\r\n"));
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

} // namespace
