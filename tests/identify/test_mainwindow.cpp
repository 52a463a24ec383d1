// The main window: start-up, the matching run shown in the spot list with
// its colours and order, spot entry and editing, and the mirrored options.
#include "test_mainwindow_fixture.h"

#include "core/Queries.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>
#include <functional>

namespace {

TEST_F(MainWindowTest, StartUpOpensTheWorkingFolderDatabaseAndProbesOnce)
{
    EXPECT_EQ(Form1->Caption(), "Quillaspore");
    EXPECT_EQ(Form1->Width(), 1363);
    EXPECT_EQ(Form1->Height(), 603);
    EXPECT_EQ(DatabaseDir, QDir::currentPath());
    EXPECT_TRUE(Form1->SQLConnection1->Params.contains("Database=" + db.Dir() + "/Quillaspore.db"));
    EXPECT_TRUE(Form1->SQLConnection1->Params.contains("FailIfMissing=True"));
    EXPECT_EQ(&MainQuery(), Form1->SQLQuery1);
    EXPECT_FALSE(Form1->SaveIcon->Enabled());
    EXPECT_EQ(Form1->HTTP1->ConnectionTimeout, 60000);
    EXPECT_EQ(server.Requests(), QStringList({"/"}));
    EXPECT_TRUE(InternetEnabled);
    EXPECT_EQ(ProgramVersion, "1.2.2.0");
    EXPECT_FALSE(Form1->ViewLichensButton->Enabled());
    EXPECT_EQ(Form1->ViewLichensButton->Caption(), "0 Lichens");
    EXPECT_FALSE(Form1->SaveAs1->Enabled());
    EXPECT_FALSE(Form1->OpenFullFile1->Visible());
    EXPECT_FALSE(Form1->Button3->Visible());
}

TEST_F(MainWindowTest, OfflineStartAsksOnceAndOkSwitchesTheInternetOff)
{
    for (int answer : {mrOk, mrCancel}) {
        DeleteWindows();
        InternetEnabled = true;
        InternetProbeAddress = FakeHttpServer::RefusedAddress();
        TestDialogs().Reset();
        TestDialogs().AnswerNext(answer);
        Application->CreateForm(Form1);
        EXPECT_EQ(TestDialogs().Shown(), QStringList({"Error connecting to website.  Disable internet?"}));
        EXPECT_EQ(InternetEnabled, answer == mrCancel);
        EXPECT_EQ(Form1->HTTP1->ConnectionTimeout, 60000);
    }
    // "Data Sent" is the send handler's only effect.
    bool abort = false;
    Form1->HTTP1SendData(Form1->HTTP1, 1, 1, abort);
    EXPECT_EQ(TestDialogs().Messages().last(), "Data Sent");
}

TEST_F(MainWindowTest, StartUpFailuresStopWithoutAWindow)
{
    DeleteWindows();
    // No database in the working folder: the open fails, nothing is created.
    QTemporaryDir empty;
    QDir::setCurrent(empty.path());
    EXPECT_THROW(Application->CreateForm(Form1), EDatabaseError);
    EXPECT_EQ(Form1, nullptr);
    EXPECT_FALSE(QFile::exists(empty.path() + "/Quillaspore.db"));

    // A Substances table without GroupName: the outdated message, then a
    // non-zero halt.
    FixtureDb old(false);
    old.Exec("CREATE TABLE Substances (name TEXT, A INTEGER); CREATE TABLE Lichens (Lichen TEXT NOT NULL, "
             "Substance TEXT NOT NULL, Genus TEXT NOT NULL)");
    old.CloseHandle();
    QDir::setCurrent(old.Dir());
    TestDialogs().Reset();
    EXPECT_THROW(Application->CreateForm(Form1), EHalt);
    EXPECT_EQ(Form1, nullptr);
    EXPECT_EQ(LastHaltStatus(), 1);
    EXPECT_EQ(TestDialogs().Messages(), QStringList({"Outdated database Quillaspore.db\r\nPlease update."}));
    QDir::setCurrent(db.Dir());
}

TEST_F(MainWindowTest, TwoSpotsAreListedWithTheirRankedSubstancesForBothMethods)
{
    TwoSpots();
    Form1->MatchAllSpots();
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}));
    TListItem* atranorin = Row("Atranorin");
    ASSERT_TRUE(atranorin);
    EXPECT_EQ(atranorin->SubItems()->Count(), 19);
    EXPECT_EQ(atranorin->SubItems()->Strings(0), "75");
    EXPECT_EQ(atranorin->SubItems()->Strings(3), "79");
    EXPECT_EQ(atranorin->SubItems()->Strings(10), "Yellow");
    EXPECT_TRUE(Form1->AllLichensButton->Enabled());
    EXPECT_TRUE(Form1->SaveAs1->Enabled());
    EXPECT_TRUE(Form1->ExportData1->Enabled());

    // Spot rows sky blue, substance rows the list's own background.
    EXPECT_EQ(Form1->SpotListView->RowColors(Row("Spot 1")).first, clSkyBlue);
    EXPECT_EQ(Form1->SpotListView->RowColors(Row("Spot 2")).first, clSkyBlue);
    EXPECT_FALSE(Form1->SpotListView->RowColors(atranorin).first.isValid());

    Form1->MatchingMethodRadioGroup->SetItemIndex(1);
    EXPECT_EQ(SearchConfigForm->MatchingMethodRadioGroup->ItemIndex(), 1);
    EXPECT_EQ(Form1->MatchingUpDown->Position(), 5);
    EXPECT_EQ(Form1->MatchingValueLabel->Caption(), "5");
    EXPECT_EQ(Form1->MatchingUpDown->Hint(), "5");
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}));

    // With the cune switch on (no controls: the window opens), each spot has
    // its cune row; the plain spot row turns silver.
    Form1->ApplyCuneCheckBox->SetChecked(true);
    EXPECT_TRUE(CuneForm->Visible());
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Spot 1 - Cune", "Atranorin", "Chloroatranorin", "Spot 2",
                                       "Spot 2 - Cune", "Norstictic acid"}));
    EXPECT_EQ(Form1->SpotListView->RowColors(Row("Spot 1")).first, clSilver);
    EXPECT_EQ(Form1->SpotListView->RowColors(Row("Spot 1 - Cune")).first, clSkyBlue);
    EXPECT_FALSE(Form1->SpotListView->RowColors(Row("Norstictic acid")).first.isValid());
}

TEST_F(MainWindowTest, AFailedRunKeepsItsRowsAndReportsTheMessage)
{
    TwoSpots();
    SearchConfigForm->RFErrorEdit->SetText("");
    try {
        Form1->MatchAllSpots();
        ADD_FAILURE() << "expected the run to fail";
    } catch (const Exception& e) {
        EXPECT_FALSE(e.Message.isEmpty());
    }
    EXPECT_EQ(Captions(), QStringList({"Spot 1"}));
}

TEST_F(MainWindowTest, ColumnClickAndSortByMatchOrderEachSpotsSubstances)
{
    TwoSpots();
    Form1->MatchAllSpots();
    Form1->SpotListViewColumnClick(Form1->SpotListView, Form1->SpotListView->Columns()->Items(1));
    EXPECT_EQ(SortColumn, 1);
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Chloroatranorin", "Atranorin", "Spot 2", "Norstictic acid"}));
    Form1->PopUpSortbyMatchClick(nullptr);
    EXPECT_EQ(SortColumn, 100);
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}));
}

TEST_F(MainWindowTest, AddSpotThroughTheEntryWindowAndEditByDoubleClick)
{
    Spots = {Spot(1, "75", "79")};
    Form1->MatchAllSpots();
    SpotsSaved = true;
    Form1->Button1->Click();
    EXPECT_TRUE(InputSpotValuesForm->Visible());
    EXPECT_EQ(InputSpotValuesForm->Caption(), "Input Spot Value");
    EXPECT_EQ(InputSpotValuesForm->SpotNumberLabel->Caption(), "2");
    EXPECT_EQ(InputSpotValuesForm->AEdit->Text(), "");
    EXPECT_FALSE(SpotsSaved);
    EXPECT_TRUE(Form1->SaveIcon->Enabled());
    EXPECT_TRUE(Form1->ViewLichensButton->Enabled());
    InputSpotValuesForm->AEdit->SetText("40");
    InputSpotValuesForm->CEdit->SetText("30");
    InputSpotValuesForm->OKButton->Click();
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}));

    Row("Spot 2")->SetSelected(true);
    Form1->SpotListViewDblClick(nullptr);
    EXPECT_EQ(InputSpotValuesForm->Caption(), "Edit Spot Value");
    EXPECT_EQ(InputSpotValuesForm->SpotNumberLabel->Caption(), "2");
    EXPECT_EQ(InputSpotValuesForm->AEdit->Text(), "40");
    EXPECT_EQ(InputSpotValuesForm->CEdit->Text(), "30");

    // A substance row opens its record; a spot number outside the list does nothing.
    QStringList opened;
    Form1->OnOpenSubstanceRecord = [&](const QString& name) { opened << name; };
    Form1->SpotListView->ClearSelection();
    Row("Norstictic acid")->SetSelected(true);
    Form1->SpotListViewDblClick(nullptr);
    EXPECT_EQ(opened, QStringList({"Norstictic acid"}));
    InputSpotValuesForm->Hide();
    Spots[1].name = "Spot 9";
    Form1->MatchAllSpots();
    Row("Spot 9")->SetSelected(true);
    Form1->SpotListViewDblClick(nullptr);
    EXPECT_FALSE(InputSpotValuesForm->Visible());
}

TEST_F(MainWindowTest, NewAsksOnlyForUnsavedSpots)
{
    struct Case { bool saved; int answer; bool cleared; int questions; };
    for (const Case& c : {Case{false, mrCancel, false, 1}, Case{false, mrOk, true, 1}, Case{true, mrCancel, true, 0}}) {
        TwoSpots();
        Form1->MatchAllSpots();
        Form1->ViewLichensButton->SetEnabled(true);
        SpotsSaved = c.saved;
        TestDialogs().Reset();
        TestDialogs().AnswerNext(c.answer);
        Form1->MainMenuNewClick(nullptr);
        EXPECT_EQ(int(TestDialogs().Questions().size()), c.questions);
        if (c.questions) {
            EXPECT_EQ(TestDialogs().Questions()[0].Text, "Spot data will be cleared.  Continue?");
        }
        EXPECT_EQ(Spots.empty(), c.cleared);
        EXPECT_EQ(Form1->SpotListView->Items()->Count() == 0, c.cleared);
        EXPECT_EQ(Form1->SaveAs1->Enabled(), !c.cleared);
        EXPECT_EQ(Form1->ViewLichensButton->Enabled(), !c.cleared);
        EXPECT_EQ(SpotsSaved, c.saved);
    }
}

TEST_F(MainWindowTest, MirroredOptionsCrossOnceAndSetTheColumnHeadings)
{
    TwoSpots();
    // The up-down writes the current method's threshold.
    Form1->MatchingUpDown->SetPosition(2);
    Form1->MatchingUpDown->ClickButton(btNext);
    EXPECT_EQ(SearchConfigForm->RFErrorEdit->Text(), "3");
    EXPECT_EQ(Form1->MatchingValueLabel->Caption(), "3");
    EXPECT_FALSE(SearchConfigSaved);

    // Method changed on either side reaches the other.
    SearchConfigForm->MatchingMethodRadioGroup->SetItemIndex(1);
    EXPECT_EQ(Form1->MatchingMethodRadioGroup->ItemIndex(), 1);
    Form1->MatchingMethodRadioGroup->SetItemIndex(0);
    EXPECT_EQ(SearchConfigForm->MatchingMethodRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(Form1->MatchingValueLabel->Caption(), "3");

    TListColumns* cols = Form1->SpotListView->Columns();
    // The thallus column labels are greyed exactly while the switch is off.
    EXPECT_EQ(Form1->Label1->Enabled(), Form1->UseThallusCheckbox->Checked());
    Form1->UseUVCheckbox->SetChecked(true);
    EXPECT_TRUE(SearchConfigForm->UseUVCheckbox->Checked());
    EXPECT_EQ(cols->Items(9)->Caption(), "Visible");
    Form1->UseUVCheckbox->SetChecked(false);
    EXPECT_FALSE(SearchConfigForm->UseUVCheckbox->Checked());
    EXPECT_EQ(cols->Items(9)->Caption(), "(Vis)");
    EXPECT_EQ(cols->Items(10)->Caption(), "(UVShrt)");

    SearchConfigForm->UseTLCCheckbox->SetChecked(true);
    EXPECT_TRUE(Form1->UseTLCCheckbox->Checked());
    EXPECT_EQ(cols->Items(11)->Caption(), "UV Long");
    Form1->UseTLCCheckbox->SetChecked(false);
    EXPECT_FALSE(SearchConfigForm->UseTLCCheckbox->Checked());
    QStringList headings;
    for (int i = 11; i <= 14; ++i) headings << cols->Items(i)->Caption();
    EXPECT_EQ(headings, QStringList({"(UV Long)", "(Visible)", "(Visible)", "(UV Long)"}));

    Form1->UseThallusCheckbox->SetChecked(true);
    EXPECT_TRUE(SearchConfigForm->UseThallusCheckbox->Checked());
    EXPECT_TRUE(Form1->Label6->Enabled());
    Form1->UseThallusCheckbox->SetChecked(false);
    EXPECT_FALSE(SearchConfigForm->UseThallusCheckbox->Checked());
    for (TLabel* l : {Form1->Label1, Form1->Label2, Form1->Label3, Form1->Label4, Form1->Label5, Form1->Label6})
        EXPECT_FALSE(l->Enabled());
}

TEST_F(MainWindowTest, TwoSpotsEnteredThroughTheEntryWindowForBothMethods)
{
    auto enter = [](const QString& a, const QString& c) {
        Form1->Button1->Click();
        InputSpotValuesForm->AEdit->SetText(a);
        InputSpotValuesForm->CEdit->SetText(c);
        InputSpotValuesForm->OKButton->Click();
    };
    enter("75", "79");
    enter("40", "30");
    ASSERT_EQ(Spots.size(), 2u);
    EXPECT_EQ(Spots[1].name, "Spot 2");
    EXPECT_FALSE(InputSpotValuesForm->Visible());
    struct Expected { int method; QStringList captions; };
    const Expected cases[] = {
        {0, {"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}},
        // Correlation (factor 5): the same substances, best first (132.3, then 86.7).
        {1, {"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}},
    };
    for (const Expected& e : cases) {
        Form1->MatchingMethodRadioGroup->SetItemIndex(e.method);
        EXPECT_EQ(Captions(), e.captions) << e.method;
        for (const QString& caption : e.captions) {
            const TColor background = Form1->SpotListView->RowColors(Row(caption)).first;
            if (caption.startsWith("Spot")) EXPECT_EQ(background, clSkyBlue) << caption.toStdString();
            else EXPECT_FALSE(background.isValid()) << caption.toStdString();
        }
    }
}

TEST_F(MainWindowTest, EachMirroredChangeCrossesOnce)
{
    TwoSpots();
    // Counts the runs of a control's click handler, keeping the handler.
    auto counted = [](TNotifyEvent& event, int& runs) {
        TNotifyEvent inner = event;
        event = [inner, &runs](TObject* sender) {
            ++runs;
            if (inner) inner(sender);
        };
    };
    struct Pair { const char* what; TControl* main; TControl* config; std::function<void(bool)> set;
                  std::function<bool()> state; };
    const auto method = [] { return Form1->MatchingMethodRadioGroup->ItemIndex() != 0; };
    int mainRuns = 0, configRuns = 0;
    const Pair pairs[] = {
        {"method", Form1->MatchingMethodRadioGroup, SearchConfigForm->MatchingMethodRadioGroup,
         [](bool on) { Form1->MatchingMethodRadioGroup->SetItemIndex(on ? 1 : 0); }, method},
        {"method from the other side", Form1->MatchingMethodRadioGroup, SearchConfigForm->MatchingMethodRadioGroup,
         [](bool on) { SearchConfigForm->MatchingMethodRadioGroup->SetItemIndex(on ? 1 : 0); }, method},
        {"UV", Form1->UseUVCheckbox, SearchConfigForm->UseUVCheckbox,
         [](bool on) { Form1->UseUVCheckbox->SetChecked(on); }, [] { return Form1->UseUVCheckbox->Checked(); }},
        {"TLC", Form1->UseTLCCheckbox, SearchConfigForm->UseTLCCheckbox,
         [](bool on) { SearchConfigForm->UseTLCCheckbox->SetChecked(on); },
         [] { return Form1->UseTLCCheckbox->Checked(); }},
        {"thallus", Form1->UseThallusCheckbox, SearchConfigForm->UseThallusCheckbox,
         [](bool on) { Form1->UseThallusCheckbox->SetChecked(on); },
         [] { return Form1->UseThallusCheckbox->Checked(); }},
    };
    for (const Pair& p : pairs) {
        const TNotifyEvent mainHandler = p.main->OnClick, configHandler = p.config->OnClick;
        counted(p.main->OnClick, mainRuns);
        counted(p.config->OnClick, configRuns);
        const bool start = p.state();
        for (bool on : {!start, start}) {
            mainRuns = configRuns = 0;
            p.set(on);
            EXPECT_EQ(mainRuns, 1) << p.what << " " << on;
            EXPECT_EQ(configRuns, 1) << p.what << " " << on;
        }
        p.main->OnClick = mainHandler;
        p.config->OnClick = configHandler;
    }
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControl)
{
    QApplication::processEvents();
    for (int i = 0; i < Form1->ComponentCount(); ++i) {
        auto* control = dynamic_cast<TControl*>(Form1->Components(i));
        if (!control || !control->Widget() || !control->Visible()) continue;
        QWidget* w = control->Widget();
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
        else if (auto* box = qobject_cast<QAbstractButton*>(w)) text = box->text();
        if (text.trimmed().isEmpty()) continue;
        EXPECT_LE(w->sizeHint().width(), w->width()) << control->Name.toStdString();
        EXPECT_LE(QFontMetrics(w->font()).height(), w->height()) << control->Name.toStdString();
    }
}

TEST(ThresholdPosition, WholeNumberPartOfANumberAndAConversionErrorOtherwise)
{
    const std::pair<QString, int> numbers[] = {{"5", 5}, {"1.5", 1}, {" 2 ", 2}, {".5", 0}, {"3.", 3}, {"0", 0}};
    for (const auto& [text, position] : numbers)
        EXPECT_EQ(ThresholdPositionOf(text), position) << text.toStdString();
    for (const char* bad : {"", "abc", "1,5", "2x"})
        EXPECT_THROW(ThresholdPositionOf(bad), EConvertError) << bad;
}

TEST_F(MainWindowTest, DecimalThresholdChangesTheMethodWithoutAnError)
{
    TwoSpots();
    SearchConfigForm->RFErrorEdit->SetText("1.5");
    SearchConfigForm->CorrelationFactorEdit->SetText("5");
    Form1->MatchingMethodRadioGroup->SetItemIndex(1);
    Form1->MatchingMethodRadioGroup->SetItemIndex(0);
    EXPECT_TRUE(TestDialogs().Shown().isEmpty()) << TestDialogs().Shown().join("|").toStdString();
    EXPECT_EQ(Form1->MatchingUpDown->Position(), 1);
    EXPECT_EQ(Form1->MatchingValueLabel->Caption(), "1");
    EXPECT_EQ(Form1->MatchingUpDown->Hint(), "1");
    // The list was re-matched under the decimal tolerance.
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Spot 2", "Norstictic acid"}));

    // A text that is no number at all still stops with the conversion error;
    // the search configuration window already shows the new method.
    SearchConfigForm->CorrelationFactorEdit->SetText("five");
    EXPECT_THROW(Form1->MatchingMethodRadioGroup->SetItemIndex(1), EConvertError);
    EXPECT_EQ(SearchConfigForm->MatchingMethodRadioGroup->ItemIndex(), 1);
    EXPECT_EQ(Form1->MatchingValueLabel->Caption(), "1");
}

TEST_F(MainWindowTest, GenusAndGroupFiltersRestrictTheCandidates)
{
    TwoSpots();
    Form1->MatchAllSpots();
    Form1->FilterGenusCheckBox->SetChecked(true);
    ASSERT_TRUE(GenusForm->Visible());
    EXPECT_EQ(GenusForm->GenusListBox->Items()->ToStringList(),
              QStringList({"Cladonia", "Parmelia", "Physcia"}));
    GenusForm->GenusListBox->SetSelected(2, true);   // Physcia
    GenusForm->OKButton->Click();
    EXPECT_EQ(Form1->GenusLabel->Caption(), "Physcia");
    EXPECT_EQ(Form1->GenusLabel->Hint(), "Physcia");
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Spot 2"}));

    Form1->FilterGenusCheckBox->SetChecked(false);
    EXPECT_EQ(Form1->GenusLabel->Caption(), "");
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Atranorin", "Chloroatranorin", "Spot 2", "Norstictic acid"}));

    Form1->FilterGroupCheckBox->SetChecked(true);
    ASSERT_TRUE(GroupForm->Visible());
    EXPECT_EQ(GroupForm->GroupListBox->Items()->ToStringList(),
              QStringList({"Depsides", "Depsidones", "Terpenoids"}));
    GroupForm->GroupListBox->SetSelected(1, true);   // Depsidones
    GroupForm->OKButton->Click();
    EXPECT_EQ(Captions(), QStringList({"Spot 1", "Spot 2", "Norstictic acid"}));
    Form1->FilterGroupCheckBox->SetChecked(false);
    EXPECT_EQ(Form1->GroupLabel->Caption(), "");
    EXPECT_EQ(Captions().size(), 5);
}

TEST_F(MainWindowTest, ScreenshotWithThreeSpots)
{
    Spots = {Spot(1, "75", "79"), Spot(2, "40", "30"), Spot(3, "34", "39")};
    Spots[0].BefUVL = "Yellow";
    SortColumn = 100;
    Form1->MatchAllSpots();
    EXPECT_EQ(Captions().size(), 7);
    QApplication::processEvents();
    const QString path = SaveScreenshot(Form1, "main_window_three_spots");
    EXPECT_TRUE(QFile::exists(path));
}

} // namespace
