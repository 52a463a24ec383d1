#include "config/SearchConfig.h"
#include "config/EditOneColor.h"
#include "config/ToolBarPictures.h"
#include "core/FormMapping.h"
#include "core/HelpWindow.h"
#include "core/MainWindow.h"
#include "core/RecordText.h"
#include "framework/Text.h"
#include "identify/InputValues.h"

#include <QMenu>
#include <cmath>

TSearchConfigForm* SearchConfigForm = nullptr;
QString SearchConfigFileName;
bool SearchConfigSaved = true;

namespace {

const QString CaptionPrefix = QStringLiteral("Search Configuration: ");
const QString UnsavedCaption = QStringLiteral("(Unsaved)");

// A failed matching run is reported, and the command that asked for it
// still completes its own state changes.
void Rematch()
{
    if (!Form1)
        return;
    try {
        Form1->MatchAllSpots();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
}

int MainMethod()
{
    if (Form1)
        return Form1->MatchingMethodRadioGroup->ItemIndex();
    return SearchConfigForm ? SearchConfigForm->MatchingMethodRadioGroup->ItemIndex() : 0;
}

void SetSearchFileCaption(const QString& caption, bool centred)
{
    if (!Form1)
        return;
    Form1->SearchFile->SetCaption(caption);
    if (centred)
        Form1->SearchFile->SetAlignment(taCenter);
}

// The whole-number part of a threshold text ("1.5" gives 1); 0 when none.
int ThresholdPosition(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0;
    return int(std::floor(v));
}

// The main window's up-down, its hint and its label show the threshold of
// its method, so the number beside the arrows is the one the matching uses.
void ShowThresholdOnMainWindow(const QString& threshold)
{
    if (!Form1)
        return;
    Form1->MatchingUpDown->SetPosition(ThresholdPosition(threshold));
    const QString shown = QString::number(Form1->MatchingUpDown->Position());
    Form1->MatchingUpDown->SetHint(shown);
    Form1->MatchingValueLabel->SetCaption(shown);
}

QString MethodThreshold(const TSearchConfig& config)
{
    return MainMethod() == CorrelationMethod ? config.Correlation : config.RFError;
}

void ShowWarnings(const QStringList& warnings)
{
    if (!warnings.isEmpty())
        ShowMessage(WarningsMessage(warnings));
}

// A parsed configuration into the windows, as a successful read ends.
void ApplyLoaded(const TSearchConfigLoad& load)
{
    ApplySearchConfig(load.Config);
    ShowWarnings(load.Warnings);
    EnsureColorItems();
    SearchConfigForm->SetCaption(CaptionPrefix + FileNamePart(SearchConfigFileName));
    // Last: setting the controls above marked the configuration unsaved.
    SearchConfigSaved = true;
    UpdateSaveEnabled();
}

TLabel* MakeLabel(TForm* form, TControl* parent, const QString& name, int x, int y, const QString& caption)
{
    auto* l = new TLabel(form, parent);
    l->Name = name;
    l->SetBounds(x, y, 110, 16);
    l->SetCaption(caption);
    return l;
}

TCheckBox* MakeCheckBox(TForm* form, TControl* parent, const QString& name, int x, int y, int w,
                        const QString& caption)
{
    auto* c = new TCheckBox(form, parent);
    c->Name = name;
    c->SetBounds(x, y, w, 20);
    c->SetCaption(caption);
    return c;
}

TComboBox* MakeCombo(TForm* form, TControl* parent, const QString& name, int tag, int x, int y)
{
    auto* c = new TComboBox(form, parent);
    c->Name = name;
    c->Tag = tag;
    c->SetStyle(csDropDown);
    c->SetBounds(x, y, 130, 22);
    return c;
}

TButton* MakeButton(TForm* form, const QString& name, int y, const QString& caption)
{
    auto* b = new TButton(form, form);
    b->Name = name;
    b->SetBounds(1036, y, 101, 28);
    b->SetCaption(caption);
    return b;
}

TMenuItem* MakeItem(TForm* form, TMenuItemList* parent, const QString& name, const QString& caption)
{
    auto* m = new TMenuItem(form, parent);
    m->Name = name;
    m->SetCaption(caption);
    return m;
}

} // namespace

// ---------------------------------------------------------------- the window

TSearchConfigForm::TSearchConfigForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("SearchConfigForm");
    Tag = 2;
    SetCaption(QStringLiteral("Search Configuration"));
    SetBorderStyle(bsSingle);
    Font()->SetName(QStringLiteral("MS Sans Serif"));
    SetClientWidth(1162);
    SetClientHeight(651);

    SearchConfigListView = new TListView(this, this);
    SearchConfigListView->Name = QStringLiteral("SearchConfigListView");
    SearchConfigListView->SetBounds(24, 48, 1113, 401);
    SearchConfigListView->ViewStyle = vsReport;
    SearchConfigListView->ReadOnly = true;
    SearchConfigListView->RowSelect = true;
    SearchConfigListView->SetHint(QStringLiteral("Spots on the left, Substances across the top"));
    SearchConfigListView->SetShowHint(true);
    {
        struct Col { const char* caption; int width; };
        const Col cols[] = {{"Reported", 70}, {"No Result", 75}, {"White", 50},   {"Brown", 50},
                            {"P.Brown", 70},  {"Purple", 60},    {"Lilac", 50},   {"Yellow", 60},
                            {"P. Yellow", 70}, {"Orange", 60},   {"Pink", 50},    {"Red", 50},
                            {"P.Red", 50},    {"D. Red", 55},    {"B. Blue", 60}, {"D. Blue", 60},
                            {"Green", 50},    {"Gray", 50},      {"Black", 50}};
        bool first = true;
        for (const Col& c : cols) {
            TListColumn* col = SearchConfigListView->Columns()->Add();
            col->SetCaption(QString::fromUtf8(c.caption));
            col->SetWidth(c.width);
            if (!first)
                col->SetAlignment(taCenter);
            first = false;
        }
    }

    GroupBox1 = new TGroupBox(this, this);
    GroupBox1->Name = QStringLiteral("GroupBox1");
    GroupBox1->SetBounds(24, 462, 290, 170);
    GroupBox1->SetCaption(QStringLiteral("TLC Spots"));
    UseTLCCheckbox = MakeCheckBox(this, GroupBox1, QStringLiteral("UseTLCCheckbox"), 16, 24, 250,
                                  QStringLiteral("Use TLC Spot Colors"));
    UseUVCheckbox = MakeCheckBox(this, GroupBox1, QStringLiteral("UseUVCheckbox"), 16, 52, 250,
                                 QStringLiteral("Use UV/Visible"));
    Label1 = MakeLabel(this, GroupBox1, QStringLiteral("Label1"), 16, 92, QStringLiteral("RF Error"));
    RFErrorEdit = new TEdit(this, GroupBox1);
    RFErrorEdit->Name = QStringLiteral("RFErrorEdit");
    RFErrorEdit->SetBounds(150, 88, 60, 22);
    RFErrorEdit->SetNumbersOnly(true);
    RFErrorEdit->SetText(QStringLiteral("1"));
    Label2 = MakeLabel(this, GroupBox1, QStringLiteral("Label2"), 16, 126,
                       QStringLiteral("Correlation Factor"));
    CorrelationFactorEdit = new TEdit(this, GroupBox1);
    CorrelationFactorEdit->Name = QStringLiteral("CorrelationFactorEdit");
    CorrelationFactorEdit->SetBounds(150, 122, 60, 22);
    CorrelationFactorEdit->SetNumbersOnly(true);
    CorrelationFactorEdit->SetMaxLength(2);
    CorrelationFactorEdit->SetText(QStringLiteral("5"));

    GroupBox2 = new TGroupBox(this, this);
    GroupBox2->Name = QStringLiteral("GroupBox2");
    GroupBox2->SetBounds(330, 462, 530, 170);
    GroupBox2->SetCaption(QStringLiteral("Thallus Spot Tests && UV Reactions"));
    UseThallusCheckbox = MakeCheckBox(this, GroupBox2, QStringLiteral("UseThallusCheckbox"), 16, 22, 300,
                                      QStringLiteral("Use Thallus Spot and UV Test"));
    Label3 = MakeLabel(this, GroupBox2, QStringLiteral("Label3"), 16, 56, QStringLiteral("K:"));
    KCombo = MakeCombo(this, GroupBox2, QStringLiteral("KCombo"), 15, 50, 52);
    Label4 = MakeLabel(this, GroupBox2, QStringLiteral("Label4"), 16, 86, QStringLiteral("C:"));
    CCombo = MakeCombo(this, GroupBox2, QStringLiteral("CCombo"), 16, 50, 82);
    Label5 = MakeLabel(this, GroupBox2, QStringLiteral("Label5"), 16, 116, QStringLiteral("KC:"));
    KCCombo = MakeCombo(this, GroupBox2, QStringLiteral("KCCombo"), 17, 50, 112);
    Label6 = MakeLabel(this, GroupBox2, QStringLiteral("Label6"), 16, 146, QStringLiteral("PD:"));
    PDCombo = MakeCombo(this, GroupBox2, QStringLiteral("PDCombo"), 18, 50, 142);
    GroupBox3 = new TGroupBox(this, GroupBox2);
    GroupBox3->Name = QStringLiteral("GroupBox3");
    GroupBox3->SetBounds(210, 48, 300, 110);
    GroupBox3->SetCaption(QStringLiteral("Lichen color under UV"));
    Label7 = MakeLabel(this, GroupBox3, QStringLiteral("Label7"), 12, 32, QStringLiteral("UV-cortex:"));
    CortexCombo = MakeCombo(this, GroupBox3, QStringLiteral("CortexCombo"), 19, 110, 28);
    Label8 = MakeLabel(this, GroupBox3, QStringLiteral("Label8"), 12, 70, QStringLiteral("UV-medulla:"));
    MedullaCombo = MakeCombo(this, GroupBox3, QStringLiteral("MedullaCombo"), 20, 110, 66);

    MatchingMethodRadioGroup = new TRadioGroup(this, this);
    MatchingMethodRadioGroup->Name = QStringLiteral("MatchingMethodRadioGroup");
    MatchingMethodRadioGroup->SetBounds(876, 462, 145, 80);
    MatchingMethodRadioGroup->SetCaption(QStringLiteral("Matching Method"));
    MatchingMethodRadioGroup->Items()->Add(QStringLiteral("RF Error"));
    MatchingMethodRadioGroup->Items()->Add(QStringLiteral("Correlation"));
    MatchingMethodRadioGroup->SetItemIndex(0);

    SaveButton = MakeButton(this, QStringLiteral("SaveButton"), 468, QStringLiteral("Save"));
    SaveAsButton = MakeButton(this, QStringLiteral("SaveAsButton"), 504, QStringLiteral("Save as..."));
    LoadButton = MakeButton(this, QStringLiteral("LoadButton"), 540, QStringLiteral("Load"));
    CloseButton = MakeButton(this, QStringLiteral("CloseButton"), 600, QStringLiteral("OK"));

    ToolBar1 = new TToolBar(this, this);
    ToolBar1->Name = QStringLiteral("ToolBar1");
    ToolBar1->SetBounds(0, 0, 1162, 29);
    SetToolBarPictures(this, ToolBar1);
    LoadDefaultIcon = MakeToolButton(this, ToolBar1, QStringLiteral("LoadDefaultIcon"), tpNew,
                                     QStringLiteral("Load Default Search Configuration"));
    LoadIcon = MakeToolButton(this, ToolBar1, QStringLiteral("LoadIcon"), tpOpen,
                              QStringLiteral("Load Search Configuration From File"));
    SaveIcon = MakeToolButton(this, ToolBar1, QStringLiteral("SaveIcon"), tpSave, QStringLiteral("Save"));
    SaveAsIcon = MakeToolButton(this, ToolBar1, QStringLiteral("SaveAsIcon"), tpSaveAs,
                                QStringLiteral("Save as..."));

    MainMenu1 = new TMainMenu(this);
    MainMenu1->Name = QStringLiteral("MainMenu1");
    File1 = MakeItem(this, MainMenu1, QStringLiteral("File1"), QStringLiteral("File"));
    LoadDefault1 = MakeItem(this, File1, QStringLiteral("LoadDefault1"), QStringLiteral("Load Default"));
    Load1 = MakeItem(this, File1, QStringLiteral("Load1"), QStringLiteral("Load"));
    Save1 = MakeItem(this, File1, QStringLiteral("Save1"), QStringLiteral("Save"));
    SaveAs1 = MakeItem(this, File1, QStringLiteral("SaveAs1"), QStringLiteral("Save As"));
    Close1 = MakeItem(this, File1, QStringLiteral("Close1"), QStringLiteral("Close"));
    Help1 = MakeItem(this, MainMenu1, QStringLiteral("Help1"), QStringLiteral("Help"));
    Help2 = MakeItem(this, Help1, QStringLiteral("Help2"), QStringLiteral("Help"));

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Name = QStringLiteral("OpenDialog1");
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Name = QStringLiteral("SaveDialog1");

    // Handlers after the initial values, so building the window runs none.
    Load1->OnClick = Bind(this, &TSearchConfigForm::Load1Click);
    LoadButton->OnClick = Bind(this, &TSearchConfigForm::Load1Click);
    LoadIcon->OnClick = Bind(this, &TSearchConfigForm::LoadIconClick);
    LoadDefault1->OnClick = Bind(this, &TSearchConfigForm::LoadDefault1Click);
    LoadDefaultIcon->OnClick = Bind(this, &TSearchConfigForm::LoadDefaultIconClick);
    Save1->OnClick = Bind(this, &TSearchConfigForm::Save1Click);
    SaveIcon->OnClick = Bind(this, &TSearchConfigForm::SaveIconClick);
    SaveButton->OnClick = Bind(this, &TSearchConfigForm::SaveButtonClick);
    SaveAs1->OnClick = Bind(this, &TSearchConfigForm::SaveAs1Click);
    SaveAsIcon->OnClick = Bind(this, &TSearchConfigForm::SaveAsIconClick);
    SaveAsButton->OnClick = Bind(this, &TSearchConfigForm::SaveAsButtonClick);
    Close1->OnClick = Bind(this, &TSearchConfigForm::Close1Click);
    CloseButton->OnClick = Bind(this, &TSearchConfigForm::CloseButtonClick);
    UseTLCCheckbox->OnClick = Bind(this, &TSearchConfigForm::UseTLCCheckboxClick);
    UseUVCheckbox->OnClick = Bind(this, &TSearchConfigForm::UseUVCheckboxClick);
    UseThallusCheckbox->OnClick = Bind(this, &TSearchConfigForm::UseThallusCheckboxClick);
    RFErrorEdit->OnChange = Bind(this, &TSearchConfigForm::RFErrorEditChange);
    CorrelationFactorEdit->OnChange = Bind(this, &TSearchConfigForm::CorrelationFactorEditChange);
    MatchingMethodRadioGroup->OnClick = Bind(this, &TSearchConfigForm::MatchingMethodRadioGroupClick);
    // The spot entry window shows the reactions in use, also while it is
    // open beside this window.
    for (TComboBox* combo : ThallusCombos())
        combo->OnChange = [](TObject*) { CopyThallusSelections(); };
    OnShow = Bind(this, &TSearchConfigForm::FormShow);
    SearchConfigListView->OnDblClick = Bind(this, &TSearchConfigForm::SearchConfigListViewDblClick);
    Help1->OnClick = Bind(this, &TSearchConfigForm::Help1Click);
    // A menu title with items opens its menu instead of firing; the help
    // page opens as that menu opens.
    QObject::connect(Help1->SubMenu(), &QMenu::aboutToShow, Help1->SubMenu(),
                     [this] { SafeCall([this] { Help1->Click(); }); });

    SetPosition(poScreenCenter);

    // The configuration for this run.
    const TStartupChoice choice = ChooseStartupConfigInCurrentDir();
    if (choice.MatchingMethod && Form1)
        Form1->MatchingMethodRadioGroup->SetItemIndex(*choice.MatchingMethod);
    bool loaded = false;
    for (const TStartupStep& step : choice.Steps) {
        if (!step.Message.isEmpty())
            ShowMessage(step.Message);
        if (LoadSearchConfigFile(step.FileName)) {
            loaded = true;
            break;
        }
    }
    SaveDialog1->InitialDir = DatabaseDir;
    if (!loaded) {
        Show();
        ShowMessage(NoConfigFoundMessage);
        Load1Click(this);
        // Only a configuration loaded through that dialog goes on below.
        if (SearchConfigFileName.isEmpty())
            return;
    }
    EnsureColorItems();
    CopyThallusSelections();
    UpdateThallusColumns();
    RefreshColorMatrixView();
    SetSearchConfigSaved(true);
}

std::array<TComboBox*, ThallusColorCount> TSearchConfigForm::ThallusCombos() const
{
    return {KCombo, CCombo, KCCombo, PDCombo, CortexCombo, MedullaCombo};
}

void TSearchConfigForm::Load1Click(TObject*)
{
    OpenDialog1->DefaultExt = QStringLiteral("scfg");
    OpenDialog1->FileName = QStringLiteral("*.scfg");
    if (OpenDialog1->Execute()) {
        const QString path = OpenDialog1->FileName;
        // The full path is kept, so a later Save writes the file that was loaded.
        if (LoadSearchConfigFile(path)) {
            RefreshColorMatrixView();
            UpdateSaveEnabled();
            SetSearchConfigSaved(true);
            Rematch();
            const QString display = SearchConfigDisplayName(path);
            SetSearchFileCaption(display, true);
            SetCaption(CaptionPrefix + display);
            WriteCurrentSearch();
            SearchConfigSaved = true;
            UpdateSaveEnabled();
        }
    }
    UpdateThallusColumns();
}

void TSearchConfigForm::LoadIconClick(TObject* Sender) { Load1Click(Sender); }

void TSearchConfigForm::LoadDefault1Click(TObject*)
{
    if (!LoadSearchConfigFile(DefaultConfigFileName))
        return;
    RefreshColorMatrixView();
    UpdateSaveEnabled();
    SetSearchConfigSaved(true);
    Close();
    SetSearchFileCaption(DefaultConfigFileName, true);
    Rematch();
}

void TSearchConfigForm::LoadDefaultIconClick(TObject* Sender) { LoadDefault1Click(Sender); }

void TSearchConfigForm::Save1Click(TObject*)
{
    // A refused save leaves the window open, so "Save as" can follow.
    if (!SaveSearchConfig())
        return;
    SetSearchConfigSaved(true);
    Close();
}

void TSearchConfigForm::SaveIconClick(TObject* Sender) { Save1Click(Sender); }

void TSearchConfigForm::SaveButtonClick(TObject*)
{
    // The save itself re-runs the full matching.
    const bool saved = SaveSearchConfig();
    UpdateThallusColumns();
    if (saved)
        SetSearchConfigSaved(true);
}

bool TSearchConfigForm::SaveToChosenFile(bool setInitialDir)
{
    if (setInitialDir)
        SaveDialog1->InitialDir = DatabaseDir;
    SaveDialog1->Filter = QStringLiteral(".SCFG files (*.scfg)|*.scfg");
    SaveDialog1->DefaultExt = QStringLiteral("scfg");
    if (!SaveDialog1->Execute())
        return false;
    const QString previous = SearchConfigFileName;
    SearchConfigFileName = SaveDialog1->FileName;
    if (!SaveSearchConfig()) {
        SearchConfigFileName = previous;
        return false;
    }
    return true;
}

void TSearchConfigForm::SaveAs1Click(TObject*)
{
    if (!SaveToChosenFile(true))
        return;
    const QString display = SearchConfigDisplayName(SearchConfigFileName);
    SetCaption(CaptionPrefix + display);
    UpdateSaveEnabled();
    SetSearchConfigSaved(true);
    Close();
    SetSearchFileCaption(display, false);
}

void TSearchConfigForm::SaveAsIconClick(TObject* Sender) { SaveAs1Click(Sender); }

void TSearchConfigForm::SaveAsButtonClick(TObject*)
{
    if (SaveToChosenFile(false)) {
        SetSearchConfigSaved(true);
        SetCaption(CaptionPrefix + SearchConfigDisplayName(SearchConfigFileName));
        UpdateSaveEnabled();
    }
    UpdateThallusColumns();
}

void TSearchConfigForm::Close1Click(TObject*) { Hide(); }

void TSearchConfigForm::CloseButtonClick(TObject*)
{
    UpdateThallusColumns();
    Hide();
}

void TSearchConfigForm::UseTLCCheckboxClick(TObject*)
{
    if (Form1)
        Form1->UseTLCCheckbox->SetChecked(UseTLCCheckbox->Checked());
    SetSearchConfigSaved(false);
}

void TSearchConfigForm::UseUVCheckboxClick(TObject*)
{
    if (Form1)
        Form1->UseUVCheckbox->SetChecked(UseUVCheckbox->Checked());
    SetSearchConfigSaved(false);
}

void TSearchConfigForm::UseThallusCheckboxClick(TObject*)
{
    // The main window's box first: the column captions follow its state.
    if (Form1)
        Form1->UseThallusCheckbox->SetChecked(UseThallusCheckbox->Checked());
    UpdateThallusColumns();
    Rematch();
    SetSearchConfigSaved(false);
}

// An edit emptied is not yet a value: the spots stay matched, and the main
// window's number stays, with the last one.
void TSearchConfigForm::RFErrorEditChange(TObject*)
{
    if (RFErrorEdit->Text().isEmpty())
        return;
    if (MainMethod() != CorrelationMethod)
        ShowThresholdOnMainWindow(RFErrorEdit->Text());
    SetSearchConfigSaved(false);
}

void TSearchConfigForm::CorrelationFactorEditChange(TObject*)
{
    if (CorrelationFactorEdit->Text().isEmpty())
        return;
    if (MainMethod() == CorrelationMethod)
        ShowThresholdOnMainWindow(CorrelationFactorEdit->Text());
    SetSearchConfigSaved(false);
}

void TSearchConfigForm::MatchingMethodRadioGroupClick(TObject*)
{
    if (Form1)
        Form1->MatchingMethodRadioGroup->SetItemIndex(MatchingMethodRadioGroup->ItemIndex());
    RefreshColorMatrixView();
    SortColumn = 100;
    Rematch();
}

void TSearchConfigForm::FormShow(TObject*)
{
    if (Form1 && MatchingMethodRadioGroup->ItemIndex() != Form1->MatchingMethodRadioGroup->ItemIndex())
        MatchingMethodRadioGroup->SetItemIndex(Form1->MatchingMethodRadioGroup->ItemIndex());
}

void TSearchConfigForm::SearchConfigListViewDblClick(TObject*)
{
    TListItem* item = SearchConfigListView->Selected();
    if (!item || !EditOneColorForm)
        return;
    const int n = item->Index();
    if (n < 0 || n >= ConfigColorCount)
        return;
    EditOneColorForm->EditColorRow(n);
    EditOneColorForm->Show();
}

void TSearchConfigForm::Help1Click(TObject*)
{
    if (!HelpForm)
        return;
    HelpForm->Show();
    HelpForm->WebBrowser->Navigate(HelpSearchConfigurationPage());
}

// ---------------------------------------------------------------- operations

void SetSearchConfigSaved(bool flag)
{
    SearchConfigSaved = flag;
    UpdateSaveEnabled();
    const QString caption = flag ? SearchConfigDisplayName(SearchConfigFileName) : UnsavedCaption;
    if (SearchConfigForm)
        SearchConfigForm->SetCaption(caption);
    SetSearchFileCaption(caption, false);
    if (!flag)
        Rematch();
}

void UpdateSaveEnabled()
{
    if (!SearchConfigForm)
        return;
    // The same rule as the save's refusal, so a loaded path ending in the
    // default name disables Save as well.
    const bool enabled = !IsDefaultConfigFile(SearchConfigFileName);
    SearchConfigForm->SaveButton->SetEnabled(enabled);
    SearchConfigForm->Save1->SetEnabled(enabled);
}

void RefreshColorMatrixView()
{
    TSearchConfigForm* f = SearchConfigForm;
    if (!f)
        return;
    TListView* view = f->SearchConfigListView;
    view->Clear();
    const bool numbers = MainMethod() == CorrelationMethod;
    for (int i = 0; i < ConfigColorCount; ++i) {
        TListItem* item = view->Items()->Add();
        item->SetCaption(ColorMatrix[i].ColorName);
        for (int k = 0; k < ConfigColorCount; ++k) {
            const QString& cell = ColorMatrix[i].Similarity[k];
            item->SubItems()->Add(numbers ? cell
                                          : (StrToIntDef(cell, 0) >= 50 ? QStringLiteral("X")
                                                                        : QStringLiteral("-")));
        }
    }
    f->MatchingMethodRadioGroup->SetItemIndex(MainMethod());
    UpdateSaveEnabled();
}

void UpdateThallusColumns()
{
    if (!Form1 || !SearchConfigForm)
        return;
    TListColumns* columns = Form1->SpotListView->Columns();
    const bool on = Form1->UseThallusCheckbox->Checked();
    const TSubstanceRecord record = on ? FormToRecord(SearchConfigForm) : TSubstanceRecord();
    for (int i = 15; i <= 20 && i < columns->Count(); ++i)
        columns->Items(i)->SetCaption(on ? record.Field(i) : QString());
}

void CopyThallusSelections()
{
    if (!InputSpotValuesForm || !SearchConfigForm)
        return;
    TSearchConfigForm* f = SearchConfigForm;
    InputSpotValuesForm->KLabel->SetCaption(f->KCombo->Text());
    InputSpotValuesForm->CLabel->SetCaption(f->CCombo->Text());
    InputSpotValuesForm->KCLabel->SetCaption(f->KCCombo->Text());
    InputSpotValuesForm->PDLabel->SetCaption(f->PDCombo->Text());
    InputSpotValuesForm->CortexLabel->SetCaption(f->CortexCombo->Text());
    InputSpotValuesForm->MedullaLabel->SetCaption(f->MedullaCombo->Text());
}

void EnsureColorItems()
{
    TSearchConfigForm* f = SearchConfigForm;
    if (!f || f->KCombo->Items()->Count() > 0)
        return;
    bool anyName = false;
    for (int i = 0; i < ConfigColorCount; ++i)
        anyName = anyName || !ColorMatrix[i].ColorName.isEmpty();
    if (!anyName)
        return;
    for (int i = 0; i < ConfigColorCount; ++i)
        AddItemToComboBoxes(f, ColorMatrix[i].ColorName);
}

TSearchConfig CurrentSearchConfig()
{
    TSearchConfig config;
    ColorMatrixToSearchConfig(ColorMatrix, config);
    TSearchConfigForm* f = SearchConfigForm;
    if (!f)
        return config;
    config.UseTLCSpotColors = f->UseTLCCheckbox->Checked();
    config.UseThallus = Form1 ? Form1->UseThallusCheckbox->Checked() : f->UseThallusCheckbox->Checked();
    config.UseUVVisible = f->UseUVCheckbox->Checked();
    config.RFError = f->RFErrorEdit->Text();
    config.Correlation = f->CorrelationFactorEdit->Text();
    config.MatchingMethod = MainMethod();
    const TSubstanceRecord record = FormToRecord(f);
    for (int k = 0; k < ThallusColorCount; ++k)
        config.ThallusColors[k] = record.Field(15 + k);
    return config;
}


void ApplySearchConfig(const TSearchConfig& config)
{
    TSearchConfigForm* f = SearchConfigForm;
    ApplySearchConfigToColorMatrix(config);
    if (!f)
        return;
    // Thresholds and reactions before the switches, so the matching runs
    // that the switches start already see them.
    for (int k = 0; k < ThallusColorCount; ++k)
        SetControlByTag(f, 15 + k, config.ThallusColors[k]);
    f->RFErrorEdit->SetText(config.RFError);
    f->CorrelationFactorEdit->SetText(config.Correlation);
    f->UseTLCCheckbox->SetChecked(config.UseTLCSpotColors);
    if (Form1)
        Form1->UseTLCCheckboxClick(Form1->UseTLCCheckbox);
    if (Form1)
        Form1->UseThallusCheckbox->SetChecked(config.UseThallus);
    else
        f->UseThallusCheckbox->SetChecked(config.UseThallus);
    f->UseUVCheckbox->SetChecked(config.UseUVVisible);
    if (Form1)
        Form1->UseUVCheckboxClick(Form1->UseUVCheckbox);
    // A loaded threshold is shown at once, not only after the next change of
    // method or threshold.
    ShowThresholdOnMainWindow(MethodThreshold(config));
}

QString SearchConfigToText()
{
    TSearchConfig config = CurrentSearchConfig();
    const QString text = SearchConfigText(config);
    // Writing makes the matrix symmetric in memory too.
    MakeColorMatrixSymmetric(ColorMatrix);
    return text;
}

bool ParseSearchConfig(const QString& text)
{
    const TSearchConfigLoad load = ParseSearchConfigText(text, CurrentSearchConfig());
    if (!load.Ok()) {
        ShowMessage(load.Message);
        return false;
    }
    ApplyLoaded(load);
    return true;
}

bool LoadSearchConfigFile(const QString& path)
{
    const TSearchConfigLoad load = ReadSearchConfigFile(path, CurrentSearchConfig());
    if (!load.Ok()) {
        ShowMessage(load.Message);
        return false;
    }
    SearchConfigFileName = path;
    ApplyLoaded(load);
    UpdateThallusColumns();
    return true;
}

bool SaveSearchConfig()
{
    TSearchConfig config = CurrentSearchConfig();
    const TConfigSave save = WriteSearchConfigFile(SearchConfigFileName, config);
    if (!save.Ok) {
        if (!save.Message.isEmpty())
            ShowMessage(save.Message);
        return false;
    }
    MakeColorMatrixSymmetric(ColorMatrix);
    RefreshColorMatrixView();
    Rematch();
    if (InputSpotValuesForm)
        InputSpotValuesForm->Hide();
    UpdateSaveEnabled();
    SearchConfigSaved = true;
    const QString display = SearchConfigDisplayName(SearchConfigFileName);
    SetSearchFileCaption(display, false);
    SearchConfigForm->SetCaption(CaptionPrefix + display);
    WriteCurrentSearch();
    ShowThresholdOnMainWindow(MethodThreshold(config));
    ShowMessage(QStringLiteral("Table Saved"));
    return true;
}

void WriteCurrentSearch()
{
    WriteCurrentSearchFile(SearchConfigFileName, MainMethod());
}
