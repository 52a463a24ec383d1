#include "core/MainWindow.h"
#include "core/ProgramIcons.h"

#include "core/Queries.h"
#include "core/Schema.h"
#include "core/Settings.h"
#include "core/WebText.h"
#include "framework/Text.h"

#include <QDir>

QString ProgramVersion = QStringLiteral("1.2.2.0");
QString DatabaseDir;
bool SpotsSaved = true;
bool InternetEnabled = true;
bool ChoosingCuneControl = false;

TForm1* Form1 = nullptr;

namespace {

TPanel* MakePanel(TComponent* owner, TControl* parent, const QString& name, int l, int t, int w, int h,
                  const QString& caption)
{
    auto* p = new TPanel(owner, parent);
    p->Name = name;
    p->SetBounds(l, t, w, h);
    p->SetCaption(caption);
    return p;
}

TLabel* MakeLabel(TComponent* owner, TControl* parent, const QString& name, int l, int t, int w, int h,
                  const QString& caption)
{
    auto* label = new TLabel(owner, parent);
    label->Name = name;
    label->SetAutoSize(false);
    label->SetBounds(l, t, w, h);
    label->SetCaption(caption);
    return label;
}

TCheckBox* MakeCheckBox(TComponent* owner, TControl* parent, const QString& name, int l, int t, int w, int h,
                        const QString& caption)
{
    auto* box = new TCheckBox(owner, parent);
    box->Name = name;
    box->SetBounds(l, t, w, h);
    box->SetCaption(caption);
    return box;
}

} // namespace

TForm1::TForm1(TComponent* AOwner)
    : TForm(AOwner)
{
    Name = QStringLiteral("Form1");
    SetCaption(QStringLiteral("Quillaspore"));

    connection = std::make_unique<TSQLConnection>();
    query = std::make_unique<TSQLQuery>(connection.get());
    client = std::make_unique<TNetHTTPClient>();
    request = std::make_unique<TNetHTTPRequest>(client.get());
    SQLConnection1 = connection.get();
    SQLConnection1->DriverName = QStringLiteral("Sqlite");
    SQLConnection1->Params = QStringList{QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True")};
    SQLQuery1 = query.get();
    NetHTTPClient1 = client.get();
    HTTP1 = request.get();
    HTTP1->OnRequestError = Bind(this, &TForm1::HTTP1RequestError);
    HTTP1->OnSendData = Bind(this, &TForm1::HTTP1SendData);
    HTTP1->IsTextRequest = true;

    ImageList1 = MakeProgramImageList(this, QStringLiteral("ImageList1"));

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Name = QStringLiteral("OpenDialog1");
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Name = QStringLiteral("SaveDialog1");

    BuildMenus();
    BuildToolBar();
    BuildOptions();
    BuildSpotList();

    Button3 = new TButton(this, this);
    Button3->Name = QStringLiteral("Button3");
    Button3->SetBounds(1180, 6, 130, 25);
    Button3->SetCaption(QStringLiteral("Orphan Bio-Related"));
    Button3->SetVisible(false);
    Button3->OnClick = Bind(this, &TForm1::Button3Click);
    Button2 = new TButton(this, this);
    Button2->Name = QStringLiteral("Button2");
    Button2->SetBounds(1180, 36, 75, 25);
    Button2->SetCaption(QStringLiteral("Button2"));
    Button2->SetVisible(false);
    Button2->OnClick = Bind(this, &TForm1::Button2Click);

    OnClose = Bind(this, &TForm1::FormClose);

    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetBounds(0, 0, 1363, 603);
    SetConstraints({1363, 603, 1363, 603});
    SetPosition(poScreenCenter);

    StartUp();
}

TForm1::~TForm1()
{
    // The query helpers must not reach this window's connection once it is gone.
    try {
        if (&MainConnection() == connection.get())
            SetMainDatabase(nullptr, nullptr);
    } catch (const Exception&) {
    }
    if (WebTextRequest() == HTTP1) SetWebTextRequest(nullptr);
}

void TForm1::BuildMenus()
{
    MainMenu1 = new TMainMenu(this);
    MainMenu1->Name = QStringLiteral("MainMenu1");
    MainMenu1->SetImages(ImageList1);
    auto item = [this](TMenuItemList* parent, const QString& name, const QString& caption, const QString& hint,
                       void (TForm1::*handler)(TObject*)) {
        auto* m = new TMenuItem(this, parent);
        m->Name = name;
        m->SetCaption(caption);
        if (!hint.isEmpty()) m->SetHint(hint);
        if (handler) m->OnClick = Bind(this, handler);
        return m;
    };
    auto hidden = [](TMenuItem* m) {
        m->SetEnabled(false);
        m->SetVisible(false);
        return m;
    };

    File1 = item(MainMenu1, "File1", "File", {}, nullptr);
    New1 = item(File1, "New1", "&New...", "Clear all spots from the window.", &TForm1::MainMenuNewClick);
    New1->SetImageIndex(0);
    Open1 = item(File1, "Open1", "Open spot file", "Load a saved set of spots", &TForm1::MainMenuOpenSpotFileClick);
    Open1->SetImageIndex(2);
    OpenFullFile1 = hidden(item(File1, "OpenFullFile1", "Open full file", {}, &TForm1::MainMenuOpenFullFileClick));
    SaveAs1 = item(File1, "SaveAs1", "Save spot file", "Save the set of spots", &TForm1::MainMenuSaveSpotFileClick);
    SaveAs1->SetEnabled(false);
    SaveAs1->SetImageIndex(4);
    SaveFullFile1 = item(File1, "SaveFullFile1", "Save full file", "Save spots and configuration",
                         &TForm1::MainMenuSaveFullFileClick);
    SaveFullFile1->SetEnabled(false);
    SaveFullFile1->SetVisible(false);
    ExportData1 = item(File1, "ExportData1", "Export Spots as CSV", {}, &TForm1::ExportData1Click);
    ExportData1->SetEnabled(false);
    DataSet1 = hidden(item(File1, "DataSet1", "Data Set", {}, nullptr));
    OpenSubset1 = hidden(item(File1, "OpenSubset1", "Open Subset...", {}, nullptr));
    Print1 = hidden(item(File1, "Print1", "Print...", {}, nullptr));
    PrintData1 = hidden(item(File1, "PrintData1", "Print Data...", {}, nullptr));
    Quit1 = item(File1, "Quit1", "Quit", "Exit the program", &TForm1::MainMenuQuitClick);
    Quit1->SetImageIndex(5);

    Data1 = item(MainMenu1, "Data1", "Substances", {}, nullptr);
    ViewRecord1 = item(Data1, "ViewRecord1", "View/Edit Substances", "View the list of substances",
                       &TForm1::MainMenuViewSubstancesClick);
    AddData1 = item(Data1, "AddData1", "Add Substances...", "Add a substance", &TForm1::MainMenuAddSubstanceClick);
    DownloadSubstanceData1 = item(Data1, "DownloadSubstanceData1", "Update Substance Data", {},
                                  &TForm1::DownloadSubstanceData1Click);
    ReadLIASFile1 = hidden(item(Data1, "ReadLIASFile1", "Read LIAS File", {}, &TForm1::ReadLIASFile1Click));
    CleanData1 = hidden(item(Data1, "CleanData1", "Clean Data", {}, nullptr));

    Lichens1 = item(MainMenu1, "Lichens1", "Lichens", {}, nullptr);
    ViewLichens1 = item(Lichens1, "ViewLichens1", "View Lichens", {}, &TForm1::MainMenuViewLichensClick);
    UpdateLichenData1 = item(Lichens1, "UpdateLichenData1", "Update Lichen Data", {},
                             &TForm1::MainMenuDownloadLIPORDataClick);

    Search1 = item(MainMenu1, "Search1", "Search Configuration", {}, &TForm1::MainMenuSearchConfigurationClick);

    Calculate1 = item(MainMenu1, "Calculate1", "Calculate", {}, nullptr);
    TLCRF1 = item(Calculate1, "TLCRF1", "TLC-RF", {}, &TForm1::MainMenuTLCRFClick);
    HPLCRI1 = item(Calculate1, "HPLCRI1", "HPLC-RI", {}, nullptr);
    HPLCRI1->SetEnabled(false);

    Cune1 = item(MainMenu1, "Cune1", "Cune", {}, &TForm1::MainMenuCuneClick);

    Help1 = item(MainMenu1, "Help1", "Help", {}, nullptr);
    Help2 = item(Help1, "Help2", "Help", {}, &TForm1::MainMenuHelpClick);
    Help2->SetImageIndex(7);
    About = item(Help1, "About", "About", {}, &TForm1::MainMenuAboutClick);

    SetMenu(MainMenu1);
}

void TForm1::BuildToolBar()
{
    ToolBar1 = new TToolBar(this, this);
    ToolBar1->Name = QStringLiteral("ToolBar1");
    ToolBar1->SetBounds(0, 0, 140, 30);
    // Top-aligned, yet only as wide as its buttons need: the rest of the
    // top row belongs to the window.
    ToolBar1->SetMaxWidth(140);
    ToolBar1->SetTransparent(true);
    ToolBar1->SetImages(ImageList1);
    auto button = [this](const QString& name, int image, const QString& hint, void (TForm1::*handler)(TObject*)) {
        auto* b = new TToolButton(this, ToolBar1);
        b->Name = name;
        b->SetImageIndex(image);
        b->SetHint(hint);
        b->SetShowHint(true);
        b->OnClick = Bind(this, handler);
        return b;
    };
    ToolButton1 = new TToolButton(this, ToolBar1);
    ToolButton1->Name = QStringLiteral("ToolButton1");
    ToolButton1->SetStyle(tbsSeparator);
    NewIcon = button("NewIcon", 0, "Clear form, start over", &TForm1::NewIconClick);
    LoadIcon = button("LoadIcon", 2, "Open Spot File", &TForm1::LoadIconClick);
    LoadAllIcon = button("LoadAllIcon", 3, "Open Spots and Search Configuration File", &TForm1::LoadAllIconClick);
    LoadAllIcon->SetVisible(false);
    SaveIcon = button("SaveIcon", 4, "Save Spot Data", &TForm1::SaveIconClick);
    SaveIcon->SetEnabled(false);
    SaveAllIcon = button("SaveAllIcon", 6, "Save Spots and Search Configuration", &TForm1::SaveAllIconClick);
    SaveAllIcon->SetVisible(false);
}

void TForm1::BuildOptions()
{
    Button1 = new TButton(this, this);
    Button1->Name = QStringLiteral("Button1");
    Button1->SetBounds(28, 36, 110, 25);
    Button1->SetCaption(QStringLiteral("Add TLC Spot"));
    Button1->OnClick = Bind(this, &TForm1::Button1Click);

    ViewLichensButton = new TButton(this, this);
    ViewLichensButton->Name = QStringLiteral("ViewLichensButton");
    ViewLichensButton->SetBounds(150, 6, 100, 25);
    ViewLichensButton->SetCaption(QStringLiteral("0 Lichens"));
    ViewLichensButton->SetHint(QStringLiteral("Right-Click on substance below"));
    ViewLichensButton->SetShowHint(true);
    ViewLichensButton->SetEnabled(false);
    ViewLichensButton->OnClick = Bind(this, &TForm1::ViewLichensButtonClick);

    AllLichensButton = new TButton(this, this);
    AllLichensButton->Name = QStringLiteral("AllLichensButton");
    AllLichensButton->SetBounds(150, 36, 100, 25);
    AllLichensButton->SetCaption(QStringLiteral("All Matches"));
    AllLichensButton->SetEnabled(false);
    AllLichensButton->OnClick = Bind(this, &TForm1::AllLichensButtonClick);

    MatchingMethodRadioGroup = new TRadioGroup(this, this);
    MatchingMethodRadioGroup->Name = QStringLiteral("MatchingMethodRadioGroup");
    MatchingMethodRadioGroup->SetBounds(262, 0, 110, 64);
    MatchingMethodRadioGroup->SetCaption(QStringLiteral("Matching"));
    MatchingMethodRadioGroup->Items()->Add(QStringLiteral("RF Error"));
    MatchingMethodRadioGroup->Items()->Add(QStringLiteral("Correlation"));
    MatchingMethodRadioGroup->SetItemIndex(0);
    MatchingMethodRadioGroup->SetHint(QStringLiteral("RF Error or Correlation Matching Methods"));
    MatchingMethodRadioGroup->SetShowHint(true);
    MatchingMethodRadioGroup->OnClick = Bind(this, &TForm1::MatchingMethodRadioGroupClick);

    MatchingUpDown = new TUpDown(this, this);
    MatchingUpDown->Name = QStringLiteral("MatchingUpDown");
    MatchingUpDown->SetBounds(378, 14, 17, 34);
    MatchingUpDown->SetMin(0);
    MatchingUpDown->SetMax(100);
    MatchingUpDown->SetIncrement(1);
    MatchingUpDown->SetPosition(2);
    MatchingUpDown->SetShowHint(true);
    MatchingUpDown->OnClick = Bind(this, &TForm1::MatchingUpDownClick);

    MatchingValueLabel = MakeLabel(this, this, "MatchingValueLabel", 399, 24, 30, 16, "0");

    Panel9 = MakePanel(this, this, "Panel9", 436, 4, 150, 27, {});
    UseUVCheckbox = MakeCheckBox(this, Panel9, "UseUVCheckbox", 6, 4, 140, 19, "Use V/UV");
    UseUVCheckbox->OnClick = Bind(this, &TForm1::UseUVCheckboxClick);
    Panel10 = MakePanel(this, this, "Panel10", 436, 35, 150, 27, {});
    UseTLCCheckbox = MakeCheckBox(this, Panel10, "UseTLCCheckbox", 6, 4, 140, 19, "Use TLC Spot Color");
    UseTLCCheckbox->OnClick = Bind(this, &TForm1::UseTLCCheckboxClick);
    Panel6 = MakePanel(this, this, "Panel6", 592, 4, 220, 27, {});
    UseThallusCheckbox =
        MakeCheckBox(this, Panel6, "UseThallusCheckbox", 6, 4, 210, 19, "Use Thallus Spot Test Reaction");
    UseThallusCheckbox->OnClick = Bind(this, &TForm1::UseThallusCheckboxClick);

    CunePanel = MakePanel(this, this, "CunePanel", 592, 35, 220, 27, {});
    CunePanel->SetBevelOuter(bvRaised);
    CunePanel->SetColor(clMenu);
    CunePanel->OnClick = Bind(this, &TForm1::CunePanelDblClick);
    CunePanel->OnDblClick = Bind(this, &TForm1::CunePanelDblClick);
    ApplyCuneCheckBox = MakeCheckBox(this, CunePanel, "ApplyCuneCheckBox", 6, 4, 95, 19, "Apply Cune");
    ApplyCuneCheckBox->OnClick = Bind(this, &TForm1::ApplyCuneCheckBoxClick);
    CuneLabel = MakeLabel(this, CunePanel, "CuneLabel", 104, 6, 110, 16, " ");
    CuneLabel->OnClick = Bind(this, &TForm1::CunePanelDblClick);
    CuneLabel->OnDblClick = Bind(this, &TForm1::CunePanelDblClick);

    SearchPanel = MakePanel(this, this, "SearchPanel", 818, 4, 190, 58, {});
    SearchPanel->SetBevelOuter(bvRaised);
    SearchPanel->OnClick = Bind(this, &TForm1::SearchPanelDblClick);
    SearchPanel->OnDblClick = Bind(this, &TForm1::SearchPanelDblClick);
    Label7 = MakeLabel(this, SearchPanel, "Label7", 8, 6, 170, 16, "Search File:");
    SearchFile = MakeLabel(this, SearchPanel, "SearchFile", 8, 30, 174, 18, "SearchConfigDefault");
    SearchFile->SetAlignment(taCenter);
    SearchFile->OnClick = Bind(this, &TForm1::SearchFileDblClick);
    SearchFile->OnDblClick = Bind(this, &TForm1::SearchFileDblClick);

    GroupBox1 = new TGroupBox(this, this);
    GroupBox1->Name = QStringLiteral("GroupBox1");
    GroupBox1->SetBounds(1014, 0, 305, 64);
    GroupBox1->SetCaption(QStringLiteral("Filter By:"));
    FilterGenusCheckBox = MakeCheckBox(this, GroupBox1, "FilterGenusCheckBox", 8, 18, 65, 19, "Genus");
    FilterGenusCheckBox->SetHint(QStringLiteral("Filter results by lichen genus"));
    FilterGenusCheckBox->SetShowHint(true);
    FilterGenusCheckBox->OnClick = Bind(this, &TForm1::FilterGenusCheckBoxClick);
    GenusLabel = MakeLabel(this, GroupBox1, "GenusLabel", 76, 20, 222, 16, {});
    GenusLabel->Font()->SetBold(true);
    GenusLabel->SetShowHint(true);
    GenusLabel->OnDblClick = Bind(this, &TForm1::GenusLabelDblClick);
    FilterGroupCheckBox = MakeCheckBox(this, GroupBox1, "FilterGroupCheckBox", 8, 40, 65, 19, "Group");
    FilterGroupCheckBox->SetHint(QStringLiteral("Filter results by substance class"));
    FilterGroupCheckBox->SetShowHint(true);
    FilterGroupCheckBox->OnClick = Bind(this, &TForm1::FilterGroupCheckBoxClick);
    GroupLabel = MakeLabel(this, GroupBox1, "GroupLabel", 76, 42, 222, 16, {});
    GroupLabel->Font()->SetBold(true);
    GroupLabel->SetShowHint(true);
    GroupLabel->OnDblClick = Bind(this, &TForm1::GroupLabelDblClick);
}

void TForm1::BuildSpotList()
{
    // Column groups over the list's columns (Name is 258 wide from x = 28).
    Panel1 = MakePanel(this, this, "Panel1", 288, 70, 320, 24, "RF-Values");
    Panel2 = MakePanel(this, this, "Panel2", 608, 70, 161, 24, "Before Charring");
    Panel3 = MakePanel(this, this, "Panel3", 769, 70, 61, 24, "Archers");
    Panel5 = MakePanel(this, this, "Panel5", 830, 70, 122, 24, "After Charring");
    Panel4 = MakePanel(this, this, "Panel4", 952, 70, 365, 24, {});
    const char* thallus[] = {"K", "C", "KC", "PD", "UVCort", "UVMed"};
    TLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
    for (int i = 0; i < 6; ++i) {
        *labels[i] = MakeLabel(this, Panel4, QStringLiteral("Label%1").arg(i + 1), 2 + 61 * i, 4, 57, 16,
                               QString::fromLatin1(thallus[i]));
        (*labels[i])->SetAlignment(taCenter);
        // Greyed while the thallus switch is off; its click handler keeps them in step.
        (*labels[i])->SetEnabled(UseThallusCheckbox->Checked());
    }

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->Name = QStringLiteral("PopupMenu1");
    auto pop = [this](const QString& name, const QString& caption, void (TForm1::*handler)(TObject*)) {
        auto* m = new TMenuItem(this, PopupMenu1);
        m->Name = name;
        m->SetCaption(caption);
        m->OnClick = Bind(this, handler);
        return m;
    };
    est1 = pop("est1", "View Substance", &TForm1::PopUpViewSubstanceClick);
    ViewLichens2 = pop("ViewLichens2", "View Lichens", &TForm1::PopUpViewLichensClick);
    SortbyMatch1 = pop("SortbyMatch1", "Sort by Match", &TForm1::PopUpSortbyMatchClick);
    ClearAllEntries1 = pop("ClearAllEntries1", "Clear All Entries", &TForm1::PopUpClearAllEntriesClick);

    SpotListView = new TListView(this, this);
    SpotListView->Name = QStringLiteral("SpotListView");
    SpotListView->SetBounds(28, 94, 1291, 433);
    SpotListView->ViewStyle = vsReport;
    SpotListView->SetMultiSelect(true);
    SpotListView->RowSelect = true;
    SpotListView->ReadOnly = true;
    SpotListView->SetShowHint(false);
    SpotListView->SetPopupMenu(PopupMenu1);
    struct Col { const char* caption; int width; };
    const Col cols[] = {{"Name", 258},    {"A", 40},       {"B", 40},       {"B'", 40},      {"C", 40},
                        {"E", 40},        {"F", 40},       {"G", 40},       {"HPLC", 40},    {"Visible", 45},
                        {"UV Short", 55}, {"UV Long", 61}, {"Visible", 61}, {"Visible", 61}, {"UV Long", 61},
                        {"K", 61},        {"C", 61},       {"KC", 61},      {"PD", 61},      {"UVCort", 61},
                        {"UVMed", 60}};
    for (int i = 0; i < 21; ++i) {
        TListColumn* c = SpotListView->Columns()->Add();
        c->SetCaption(QString::fromUtf8(cols[i].caption));
        c->SetWidth(cols[i].width);
        if (i > 0) c->SetAlignment(taCenter);
    }
    SpotListView->OnChange = Bind(this, &TForm1::SpotListViewChange);
    SpotListView->OnColumnClick = Bind(this, &TForm1::SpotListViewColumnClick);
    SpotListView->OnCustomDrawItem = Bind(this, &TForm1::SpotListViewCustomDrawItem);
    SpotListView->OnDblClick = Bind(this, &TForm1::SpotListViewDblClick);
    SpotListView->OnMouseMove = Bind(this, &TForm1::Hint);
    SpotListView->OnMouseLeave = Bind(this, &TForm1::HintLeave);
    SpotListView->OnSelectItem = Bind(this, &TForm1::SpotListViewSelectItem);
}

void TForm1::StartUp()
{
    DatabaseDir = QDir::currentPath();
    const QString databaseFile = DatabaseDir + QStringLiteral("/Quillaspore.db");
    SQLConnection1->Params.append(QStringLiteral("Database=") + databaseFile);
    try {
        SQLConnection1->SetConnected(true);
    } catch (const EDatabaseError& e) {
        throw EDatabaseError(QStringLiteral("Unable to open the database ") + databaseFile + QStringLiteral("\r\n") +
                             e.Message);
    }
    // A damaged file is reported as such and left untouched: no migration,
    // no index, and the start fails.
    CheckDatabaseReadable(*SQLConnection1, databaseFile);
    SetMainDatabase(SQLConnection1, SQLQuery1);
    SetWebTextRequest(HTTP1);
    MigrateDatabase(*SQLConnection1);

    Show();
    SaveIcon->SetEnabled(false);
    SortColumn = 0;

    if (DatabaseOutdated()) {
        ShowMessage(OutdatedDatabaseMessage);
        // A database the program cannot use is a failed start.
        Halt(1);
    }

    InternetProbeRequest();
}

void TForm1::InternetProbeRequest()
{
    HTTP1->ConnectionTimeout = 1000;
    probeBody = HTTP1->Get(InternetProbeAddress);
    HTTP1->ConnectionTimeout = 60000;
}

void TForm1::HTTP1RequestError(TNetHTTPRequest* Sender, const QString& AError)
{
    // Asks; unless Cancel, switches the internet off. The items are disabled
    // here too: during start-up this window is not yet the main form.
    if (!AskDisableInternet()) return;
    if (UpdateLichenData1) UpdateLichenData1->SetEnabled(false);
    if (DownloadSubstanceData1) DownloadSubstanceData1->SetEnabled(false);
}

void TForm1::HTTP1SendData(TNetHTTPRequest* Sender, long long AContentLength, long long AWriteCount, bool& AAbort)
{
    ShowMessage(QStringLiteral("Data Sent"));
}
