// The search configuration window's commands: saving and loading files,
// the refusals that change nothing, the matrix view, and the controls it
// mirrors with the main window.
#include "test_searchconfigwindow_kit.h"
#include "support/FileBytes.h"

#include "core/HelpWindow.h"

#include <functional>

namespace {

using SearchConfigWindow = ConfigWindows;

TSubstanceRecord SpotWithA(const QString& name, const QString& a)
{
    TSubstanceRecord r;
    r.name = name;
    r.A = a;
    return r;
}

QStringList ColumnCaptions(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << Form1->SpotListView->Columns()->Items(i)->Caption();
    return out;
}

QStringList ListCaptions(TListView* view)
{
    QStringList out;
    for (int i = 0; i < view->Items()->Count(); ++i)
        out << view->Items()->Item(i)->Caption();
    return out;
}

TEST_F(SearchConfigWindow, SaveAsWritesTheWindowsSettingsAndLoadReadsThemBack)
{
    CreateWithDefault();
    TSearchConfigForm* f = SearchConfigForm;
    // A spot with the cune switch on: the save re-runs the full matching.
    Spots = {SpotWithA("Spot 1", "45")};
    Form1->ApplyCuneCheckBox->SetChecked(true);

    f->UseTLCCheckbox->SetChecked(true);
    f->RFErrorEdit->SetText("3");
    f->KCombo->SetText("Yellow");
    f->MedullaCombo->SetText("Red");
    ColorMatrix[2].Similarity[5] = "30";   // above the diagonal: wins
    ColorMatrix[5].Similarity[2] = "70";
    EXPECT_FALSE(SearchConfigSaved);
    EXPECT_EQ(f->Caption(), "(Unsaved)");
    EXPECT_EQ(Form1->SearchFile->Caption(), "(Unsaved)");

    const QString path = InDir("Mine.scfg");
    TestDialogs().NextFileName(path);
    f->Show();
    f->SaveAs1Click(nullptr);

    QByteArray expected = DefaultWith({{"UseTLCSpotColors", "1"},
                                       {"RFError", "3"},
                                       {"ThallusColors", "Yellow,No Result,No Result,No Result,No Result,Red,"}});
    expected.replace("Brown: 0,0,100,80,20,0,", "Brown: 0,0,100,80,20,30,");
    expected.replace("Lilac: 0,20,0,", "Lilac: 0,20,30,");
    EXPECT_EQ(FileBytes(path, "<missing>"), expected);
    EXPECT_EQ(ColorMatrix[5].Similarity[2], "30");
    EXPECT_EQ(FileBytes("CurrentSearch.cfg", "<missing>"), ("ConfigFile: " + path + "\r\nMatchingMethod: 0").toUtf8());
    EXPECT_EQ(TestDialogs().Messages(), QStringList({"Table Saved"}));
    EXPECT_EQ(TestDialogs().FileRequests().at(0).Filter, ".SCFG files (*.scfg)|*.scfg");
    EXPECT_EQ(TestDialogs().FileRequests().at(0).InitialDir, DatabaseDir);
    EXPECT_TRUE(SearchConfigSaved);
    EXPECT_EQ(f->Caption(), "Mine");
    EXPECT_EQ(Form1->SearchFile->Caption(), "Mine");
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(f->SaveButton->Enabled());
    EXPECT_EQ(Form1->MatchingValueLabel->Caption(), "3");
    EXPECT_EQ(ListCaptions(Form1->SpotListView), QStringList({"Spot 1", "Spot 1 - Cune"}));

    // Change everything, then load the file back from its full path.
    f->UseTLCCheckbox->SetChecked(false);
    f->RFErrorEdit->SetText("7");
    f->KCombo->SetText("White");
    ColorMatrix[0].Similarity[1] = "99";
    EXPECT_FALSE(Form1->UseTLCCheckbox->Checked());
    SearchConfigFileName = "Default.scfg";
    QFile::remove("CurrentSearch.cfg");
    TestDialogs().NextFileName(path);
    f->Load1Click(nullptr);
    EXPECT_EQ(SearchConfigFileName, path);
    EXPECT_TRUE(f->UseTLCCheckbox->Checked());
    EXPECT_TRUE(Form1->UseTLCCheckbox->Checked());
    EXPECT_EQ(f->RFErrorEdit->Text(), "3");
    EXPECT_EQ(f->KCombo->Text(), "Yellow");
    EXPECT_EQ(ColorMatrix[0].Similarity[1], "20");
    EXPECT_TRUE(SearchConfigSaved);
    EXPECT_EQ(f->Caption(), "Search Configuration: Mine");
    EXPECT_EQ(Form1->SearchFile->Caption(), "Mine");
    EXPECT_EQ(FileBytes("CurrentSearch.cfg", "<missing>"), ("ConfigFile: " + path + "\r\nMatchingMethod: 0").toUtf8());

    // A later Save writes the file that was loaded.
    f->CorrelationFactorEdit->SetText("9");
    f->SaveButtonClick(nullptr);
    EXPECT_TRUE(FileBytes(path, "<missing>").contains("\r\nCorrelation: 9\r\n"));
    EXPECT_TRUE(SearchConfigSaved);
    EXPECT_EQ(f->Caption(), "Mine");
}

TEST_F(SearchConfigWindow, RefusedSavesChangeNothing)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;     // makes the configuration unsaved in some way
        std::function<void()> command;
        QString dialogAnswer;              // for the Save as commands
        QString message;                   // beginning of the one message shown
    };
    const Case cases[] = {
        {"Save over the default", [] { SearchConfigForm->UseUVCheckbox->SetChecked(true); },
         [] { SearchConfigForm->Save1Click(nullptr); }, "", DefaultOverwriteMessage},
        {"tool bar Save over the default", [] { SearchConfigForm->UseUVCheckbox->SetChecked(true); },
         [] { SearchConfigForm->SaveIcon->Click(); }, "", DefaultOverwriteMessage},
        {"Save as to a file named Default.scfg elsewhere",
         [] { SearchConfigForm->UseUVCheckbox->SetChecked(true); },
         [] { SearchConfigForm->SaveAsButtonClick(nullptr); }, "sub/Default.scfg", DefaultOverwriteMessage},
        {"thallus text with a comma", [] { SearchConfigForm->KCombo->SetText("K+ yellow, then red"); },
         [] { SearchConfigForm->SaveAs1Click(nullptr); }, "New.scfg", "The thallus reaction K"},
        {"thallus text with a line break", [] { SearchConfigForm->PDCombo->SetText("PD+\r\norange"); },
         [] { SearchConfigForm->SaveAsButtonClick(nullptr); }, "New.scfg", "The thallus reaction PD"},
        {"empty tolerance", [] { SearchConfigForm->RFErrorEdit->SetText(""); SearchConfigSaved = false; },
         [] { SearchConfigForm->SaveAsIconClick(nullptr); }, "New.scfg", "The RF Error tolerance"},
        {"correlation factor 0", [] { SearchConfigForm->CorrelationFactorEdit->SetText("0"); },
         [] { SearchConfigForm->SaveAs1Click(nullptr); }, "New.scfg", "The correlation factor"},
    };
    CreateWithDefault();
    QDir(db.Dir()).mkpath("sub");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchConfigFileName = "Default.scfg";
        SetSearchConfigSaved(true);
        c.prepare();
        SearchConfigForm->Show();
        const QString captionBefore = SearchConfigForm->Caption();
        const QString searchFileBefore = Form1->SearchFile->Caption();
        const bool savedBefore = SearchConfigSaved;
        TestDialogs().Reset();
        if (!c.dialogAnswer.isEmpty())
            TestDialogs().NextFileName(InDir(c.dialogAnswer));

        c.command();

        ASSERT_EQ(TestDialogs().Messages().size(), 1);
        EXPECT_TRUE(TestDialogs().Messages()[0].startsWith(c.message)) << TestDialogs().Messages()[0].toStdString();
        EXPECT_EQ(SearchConfigFileName, "Default.scfg");
        EXPECT_EQ(SearchConfigSaved, savedBefore);
        EXPECT_EQ(SearchConfigForm->Caption(), captionBefore);
        EXPECT_EQ(Form1->SearchFile->Caption(), searchFileBefore);
        EXPECT_TRUE(SearchConfigForm->Visible());
        EXPECT_FALSE(QFileInfo::exists("CurrentSearch.cfg"));
        EXPECT_FALSE(QFileInfo::exists("New.scfg"));
        EXPECT_FALSE(QFileInfo::exists("sub/Default.scfg"));
        EXPECT_EQ(FileBytes("Default.scfg", "<missing>"), DefaultScfg());

        // Put the values back for the next case.
        SearchConfigForm->UseUVCheckbox->SetChecked(false);
        SearchConfigForm->KCombo->SetText("No Result");
        SearchConfigForm->PDCombo->SetText("No Result");
        SearchConfigForm->RFErrorEdit->SetText("1");
        SearchConfigForm->CorrelationFactorEdit->SetText("5");
    }
    EXPECT_FALSE(SearchConfigForm->SaveButton->Enabled());
    EXPECT_FALSE(SearchConfigForm->Save1->Enabled());
}

TEST_F(SearchConfigWindow, RefusedOrFailedLoadsChangeNothing)
{
    const QByteArray outdated = "Colour table of an older version\r\nRFError: 9";
    struct Case {
        const char* what;
        QString file;                 // answered to the Load dialog ("" = the Load Default command)
        QByteArray bytes;             // written there first (empty = no file)
        QString message;
    };
    const Case cases[] = {
        {"outdated file", "Old.scfg", outdated, OutdatedConfigMessage},
        {"missing file", "Gone.scfg", {}, "Unable to open file: "},
        {"a folder, not a file", "sub", {}, "Unable to open file: "},
        {"Load Default without Default.scfg", "", {}, "Unable to open file: Default.scfg"},
    };
    CreateWithDefault();
    QDir(db.Dir()).mkpath("sub");
    SearchConfigForm->RFErrorEdit->SetText("4");   // unsaved, and differs from every file
    QFile::remove("Default.scfg");
    const auto matrixBefore = ColorMatrix;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestDialogs().Reset();
        if (!c.bytes.isEmpty())
            WriteFile(c.file, c.bytes);
        if (c.file.isEmpty()) {
            SearchConfigForm->LoadDefault1Click(nullptr);
        } else {
            TestDialogs().NextFileName(InDir(c.file));
            SearchConfigForm->Load1Click(nullptr);
        }
        ASSERT_EQ(TestDialogs().Messages().size(), 1);
        EXPECT_TRUE(TestDialogs().Messages()[0].startsWith(c.message)) << TestDialogs().Messages()[0].toStdString();
        EXPECT_EQ(SearchConfigFileName, "Default.scfg");
        EXPECT_FALSE(SearchConfigSaved);
        EXPECT_EQ(SearchConfigForm->Caption(), "(Unsaved)");
        EXPECT_EQ(Form1->SearchFile->Caption(), "(Unsaved)");
        EXPECT_EQ(SearchConfigForm->RFErrorEdit->Text(), "4");
        EXPECT_EQ(ColorMatrix[3].Similarity[2], matrixBefore[3].Similarity[2]);
        EXPECT_FALSE(QFileInfo::exists("CurrentSearch.cfg"));
    }
}

TEST_F(SearchConfigWindow, InvalidValuesOfAFileKeepTheCurrentOnesAndAreReportedOnce)
{
    CreateWithDefault();
    QByteArray bytes = DefaultWith({{"RFError", "abc"}, {"Correlation", "2.5"}, {"UseThallus", "1"}});
    bytes.replace("Red: 0,0,20,0,30,", "Red: 0,0,20,0,300,");
    WriteFile("Odd.scfg", bytes);
    TestDialogs().NextFileName(InDir("Odd.scfg"));
    SearchConfigForm->Load1Click(nullptr);

    ASSERT_EQ(TestDialogs().Messages().size(), 1);
    const QString message = TestDialogs().Messages()[0];
    EXPECT_TRUE(message.contains("RFError: \"abc\"")) << message.toStdString();
    EXPECT_TRUE(message.contains("Correlation: \"2.5\""));
    EXPECT_TRUE(message.contains("\"300\""));
    EXPECT_EQ(SearchConfigForm->RFErrorEdit->Text(), "1");
    EXPECT_EQ(SearchConfigForm->CorrelationFactorEdit->Text(), "5");
    EXPECT_EQ(ColorMatrix[10].Similarity[4], "30");
    // The valid values of the same file were taken.
    EXPECT_TRUE(Form1->UseThallusCheckbox->Checked());
    EXPECT_TRUE(SearchConfigForm->UseThallusCheckbox->Checked());
    EXPECT_EQ(ColumnCaptions(15, 20), QStringList(6, "No Result"));
    EXPECT_TRUE(SearchConfigSaved);
}

TEST_F(SearchConfigWindow, MatrixViewFollowsTheMethod)
{
    CreateWithDefault();
    ColorMatrix[0].Similarity[1] = "50";
    ColorMatrix[0].Similarity[2] = "49";
    RefreshColorMatrixView();
    TStrings* row0 = SearchConfigForm->SearchConfigListView->Items()->Item(0)->SubItems();
    EXPECT_EQ(SearchConfigForm->SearchConfigListView->Items()->Item(0)->Caption(), "No Result");
    EXPECT_EQ(row0->Strings(0), "X");
    EXPECT_EQ(row0->Strings(1), "X");
    EXPECT_EQ(row0->Strings(2), "-");

    SearchConfigForm->MatchingMethodRadioGroup->SetItemIndex(1);
    row0 = SearchConfigForm->SearchConfigListView->Items()->Item(0)->SubItems();
    EXPECT_EQ(row0->Strings(0), "100");
    EXPECT_EQ(row0->Strings(1), "50");
    EXPECT_EQ(row0->Strings(2), "49");
    EXPECT_EQ(Form1->MatchingMethodRadioGroup->ItemIndex(), 1);
    EXPECT_EQ(SortColumn, 100);
    EXPECT_EQ(Form1->MatchingValueLabel->Caption(), "5");
}

// Counts the runs of a control's click handler, keeping the handler.
int* CountClicks(TNotifyEvent& event)
{
    auto count = std::make_shared<int>(0);
    TNotifyEvent inner = event;
    event = [count, inner](TObject* s) {
        ++*count;
        inner(s);
    };
    return count.get();   // kept alive by the handler
}

TEST_F(SearchConfigWindow, MirroredControlsCrossOnce)
{
    CreateWithDefault();
    struct Mirror {
        const char* what;
        std::function<TControl*()> config, main;
        std::function<void(TControl*, int)> set;
        std::function<int(TControl*)> get;
    };
    auto box = [](TControl* c) { return static_cast<TCheckBox*>(c); };
    auto setBox = [box](TControl* c, int v) { box(c)->SetChecked(v != 0); };
    auto getBox = [box](TControl* c) { return box(c)->Checked() ? 1 : 0; };
    auto radio = [](TControl* c) { return static_cast<TRadioGroup*>(c); };
    const Mirror mirrors[] = {
        {"TLC", [] { return SearchConfigForm->UseTLCCheckbox; }, [] { return Form1->UseTLCCheckbox; }, setBox, getBox},
        {"UV", [] { return SearchConfigForm->UseUVCheckbox; }, [] { return Form1->UseUVCheckbox; }, setBox, getBox},
        {"thallus", [] { return SearchConfigForm->UseThallusCheckbox; }, [] { return Form1->UseThallusCheckbox; },
         setBox, getBox},
        {"method", [] { return SearchConfigForm->MatchingMethodRadioGroup; },
         [] { return Form1->MatchingMethodRadioGroup; },
         [radio](TControl* c, int v) { radio(c)->SetItemIndex(v); },
         [radio](TControl* c) { return radio(c)->ItemIndex(); }},
    };
    for (const Mirror& m : mirrors) {
        for (bool fromConfig : {true, false}) {
            SCOPED_TRACE(std::string(m.what) + (fromConfig ? " from the configuration window" : " from the main window"));
            TControl* a = fromConfig ? m.config() : m.main();
            TControl* b = fromConfig ? m.main() : m.config();
            int* aRuns = CountClicks(a->OnClick);
            int* bRuns = CountClicks(b->OnClick);
            const int start = m.get(a);
            m.set(a, 1 - start);
            EXPECT_EQ(m.get(b), 1 - start);
            EXPECT_EQ(*aRuns, 1);
            EXPECT_EQ(*bRuns, 1);
            m.set(a, start);
            EXPECT_EQ(m.get(b), start);
            EXPECT_EQ(*aRuns, 2);
            EXPECT_EQ(*bRuns, 2);
        }
    }

    // The effects on the main window's spot list and the saved state.
    SetSearchConfigSaved(true);
    SearchConfigForm->UseTLCCheckbox->SetChecked(true);
    EXPECT_EQ(ColumnCaptions(11, 14), QStringList({"UV Long", "Visible", "Visible", "UV Long"}));
    SetSearchConfigSaved(true);
    SearchConfigForm->UseTLCCheckbox->SetChecked(false);
    EXPECT_EQ(ColumnCaptions(11, 14), QStringList({"(UV Long)", "(Visible)", "(Visible)", "(UV Long)"}));
    EXPECT_FALSE(SearchConfigSaved);
    EXPECT_EQ(Form1->SearchFile->Caption(), "(Unsaved)");
    SearchConfigForm->KCombo->SetText("Yellow");
    SearchConfigForm->UseThallusCheckbox->SetChecked(true);
    EXPECT_EQ(ColumnCaptions(15, 20),
              QStringList({"Yellow", "No Result", "No Result", "No Result", "No Result", "No Result"}));
    Form1->UseThallusCheckbox->SetChecked(false);
    EXPECT_EQ(ColumnCaptions(15, 20), QStringList(6, ""));

    // Threshold edits: clearing does not mark unsaved, typing does.
    SetSearchConfigSaved(true);
    SearchConfigForm->RFErrorEdit->SetText("");
    EXPECT_TRUE(SearchConfigSaved);
    SearchConfigForm->RFErrorEdit->SetText("2");
    EXPECT_FALSE(SearchConfigSaved);
}

TEST_F(SearchConfigWindow, DoubleClickOnNoRowOpensNoEditor)
{
    CreateWithDefault();
    SearchConfigForm->SearchConfigListView->ClearSelection();
    SearchConfigForm->SearchConfigListViewDblClick(nullptr);
    EXPECT_FALSE(EditOneColorForm->Visible());
    SearchConfigForm->SearchConfigListView->Items()->Item(6)->SetSelected(true);
    SearchConfigForm->SearchConfigListViewDblClick(nullptr);
    EXPECT_TRUE(EditOneColorForm->Visible());
    EXPECT_EQ(EditOneColorForm->EditedColorRow, 6);
    EXPECT_EQ(EditOneColorForm->Caption(), "Edit Yellow");
}

TEST_F(SearchConfigWindow, MenusAndHelpPage)
{
    CreateWithDefault();
    TSearchConfigForm* f = SearchConfigForm;
    const std::pair<TMenuItem*, const char*> items[] = {
        {f->File1, "File"},  {f->LoadDefault1, "Load Default"}, {f->Load1, "Load"}, {f->Save1, "Save"},
        {f->SaveAs1, "Save As"}, {f->Close1, "Close"}, {f->Help1, "Help"}, {f->Help2, "Help"}};
    for (const auto& [item, caption] : items)
        EXPECT_EQ(item->Caption(), caption) << item->Name.toStdString();
    EXPECT_FALSE(bool(f->Help2->OnClick));

    Application->CreateForm(HelpForm);
    f->Help1Click(nullptr);
    EXPECT_TRUE(HelpForm->Visible());
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpSearchConfigurationPage());
    EXPECT_TRUE(HelpSearchConfigurationPage().endsWith("/Quillaspore/SearchConfiguration.html"));
    delete HelpForm;
    HelpForm = nullptr;
}

} // namespace
