#pragma once
// The main window: start-up (database open and migration, the internet
// probe), the spot list with its commands, the matching options and filters,
// the lichen search over selected substances, the spot files, the main menu,
// About and quit. Also the globals of the main window unit.
#include "core/Record.h"
#include "framework/Database.h"
#include "framework/Forms.h"
#include "framework/NetHTTP.h"
#include "identify/MatchEngine.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------- globals

extern QString ProgramVersion;       // "1.2.2.0"
extern QString DatabaseDir;          // the current directory at start-up (holds "Quillaspore.db")
extern bool SpotsSaved;              // the entered spots have no unsaved changes (true at start)
extern bool InternetEnabled;         // web requests are allowed (true at start)
extern bool ChoosingCuneControl;     // the substance list is picking a cune control

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

    // The form's own Hint() stays reachable next to the mouse-move handler.
    using TControl::Hint;

    // ------------------------------------------------ non-visual components
    TSQLConnection* SQLConnection1;
    TSQLQuery* SQLQuery1;
    TNetHTTPClient* NetHTTPClient1;
    TNetHTTPRequest* HTTP1;
    TImageList* ImageList1;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;

    // ------------------------------------------------ main menu
    TMainMenu* MainMenu1;
    TMenuItem* File1;
    TMenuItem* New1;
    TMenuItem* Open1;
    TMenuItem* OpenFullFile1;
    TMenuItem* SaveAs1;
    TMenuItem* SaveFullFile1;
    TMenuItem* ExportData1;
    TMenuItem* DataSet1;
    TMenuItem* OpenSubset1;
    TMenuItem* Print1;
    TMenuItem* PrintData1;
    TMenuItem* Quit1;
    TMenuItem* Data1;
    TMenuItem* ViewRecord1 = nullptr;             // wired with the substance list window
    TMenuItem* AddData1 = nullptr;                // wired with the substance record window
    TMenuItem* DownloadSubstanceData1 = nullptr;  // wired with the data update window
    TMenuItem* ReadLIASFile1;
    TMenuItem* CleanData1;
    TMenuItem* Lichens1;
    TMenuItem* ViewLichens1 = nullptr;            // wired with the lichen list window
    TMenuItem* UpdateLichenData1 = nullptr;       // wired with the data update window
    TMenuItem* Search1;
    TMenuItem* Calculate1;
    TMenuItem* TLCRF1;
    TMenuItem* HPLCRI1;
    TMenuItem* Cune1;
    TMenuItem* Help1;
    TMenuItem* Help2;
    TMenuItem* About;

    // ------------------------------------------------ tool bar and buttons
    TToolBar* ToolBar1;
    TToolButton* ToolButton1;   // separator
    TToolButton* NewIcon;
    TToolButton* LoadIcon;
    TToolButton* LoadAllIcon;
    TToolButton* SaveIcon;
    TToolButton* SaveAllIcon;
    TButton* Button1;            // "Add TLC Spot"
    TButton* ViewLichensButton;  // "0 Lichens"
    TButton* AllLichensButton;   // "All Matches"

    // ------------------------------------------------ matching options
    TRadioGroup* MatchingMethodRadioGroup;
    TUpDown* MatchingUpDown;
    TLabel* MatchingValueLabel;
    TPanel* Panel9;
    TCheckBox* UseUVCheckbox;
    TPanel* Panel10;
    TCheckBox* UseTLCCheckbox;
    TPanel* Panel6;
    TCheckBox* UseThallusCheckbox;
    TPanel* CunePanel;
    TCheckBox* ApplyCuneCheckBox;
    TLabel* CuneLabel;
    TPanel* SearchPanel;
    TLabel* Label7;
    TLabel* SearchFile;
    TGroupBox* GroupBox1;
    TCheckBox* FilterGenusCheckBox;
    TLabel* GenusLabel;
    TCheckBox* FilterGroupCheckBox;
    TLabel* GroupLabel;

    // ------------------------------------------------ spot list
    TPanel* Panel1;   // "RF-Values"
    TPanel* Panel2;   // "Before Charring"
    TPanel* Panel3;   // "Archers"
    TPanel* Panel5;   // "After Charring"
    TPanel* Panel4;   // the thallus column labels
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label6;
    TListView* SpotListView;
    TPopupMenu* PopupMenu1;
    TMenuItem* est1;              // "View Substance"
    TMenuItem* ViewLichens2;      // "View Lichens"
    TMenuItem* SortbyMatch1;      // "Sort by Match"
    TMenuItem* ClearAllEntries1;  // "Clear All Entries"

    // ------------------------------------------------ hidden buttons
    TButton* Button3;   // "Orphan Bio-Related"
    TButton* Button2;   // "Button2"

    // ------------------------------------------------ operations
    // Rebuilds SpotListView from Spots through the matching engine. A failed
    // run keeps the rows made so far and raises Exception with its message.
    void MatchAllSpots();
    // Removes every row of SpotListView; the lichen count button goes back
    // to "0 Lichens". The only way rows leave the list.
    void ClearSpotList();
    // The settings the engine reads, gathered from this window, the search
    // configuration window, the cune controls and the genus and group lists.
    TMatchSettings CurrentMatchSettings() const;
    // Appends one row: caption = name, cells = fields 1..19.
    void AddSpotListRow(const TSubstanceRecord& record);
    // Appends the records of engine rows (substance rows under their spot).
    void AddMatchRows(const std::vector<TMatchRow>& rows);
    void ClearSpotDialog();
    void FillSpotDialog(int n);
    void UpdateSpotMenuItems();
    // Replaces Spots by the records of a spot-file text and re-runs matching.
    void LoadSpotsFromText(QString text);
    void InternetProbeRequest();
    // Opens the substance record window on a substance name (the list's
    // double-click and "View Lichens" on a spot row). Runs the hook when set.
    void OpenSubstanceRecord(const QString& caption);
    std::function<void(const QString& caption)> OnOpenSubstanceRecord;

    // ------------------------------------------------ HTTP1 handlers
    void HTTP1RequestError(TNetHTTPRequest* Sender, const QString& AError);
    void HTTP1SendData(TNetHTTPRequest* Sender, long long AContentLength, long long AWriteCount, bool& AAbort);

    // ------------------------------------------------ spot list handlers
    void Button1Click(TObject* Sender);
    void SpotListViewCustomDrawItem(TObject* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw);
    void SpotListViewDblClick(TObject* Sender);
    void SpotListViewChange(TObject* Sender, TListItem* Item, TItemChange Change);
    void SpotListViewColumnClick(TObject* Sender, TListColumn* Column);
    void PopUpViewSubstanceClick(TObject* Sender);
    void PopUpViewLichensClick(TObject* Sender);
    void PopUpSortbyMatchClick(TObject* Sender);
    void PopUpClearAllEntriesClick(TObject* Sender);
    void MainMenuNewClick(TObject* Sender);
    void NewIconClick(TObject* Sender);

    // ------------------------------------------------ spot files and CSV
    void MainMenuOpenSpotFileClick(TObject* Sender);
    void LoadIconClick(TObject* Sender);
    void MainMenuSaveSpotFileClick(TObject* Sender);
    void SaveIconClick(TObject* Sender);
    void ExportData1Click(TObject* Sender);
    void MainMenuOpenFullFileClick(TObject* Sender);
    void LoadAllIconClick(TObject* Sender);
    void MainMenuSaveFullFileClick(TObject* Sender);
    void SaveAllIconClick(TObject* Sender);

    // ------------------------------------------------ lichen search
    void ViewLichensButtonClick(TObject* Sender);
    void SpotListViewSelectItem(TObject* Sender, TListItem* Item, bool Selected);
    void Hint(TObject* Sender, TShiftState Shift, int X, int Y);
    void HintLeave(TObject* Sender);
    void AllLichensButtonClick(TObject* Sender);

    // ------------------------------------------------ matching options and filters
    void MatchingMethodRadioGroupClick(TObject* Sender);
    void MatchingUpDownClick(TObject* Sender, TUDBtnType Button);
    void UseUVCheckboxClick(TObject* Sender);
    void UseTLCCheckboxClick(TObject* Sender);
    void UseThallusCheckboxClick(TObject* Sender);
    void ApplyCuneCheckBoxClick(TObject* Sender);
    void CunePanelDblClick(TObject* Sender);
    void SearchPanelDblClick(TObject* Sender);
    void SearchFileDblClick(TObject* Sender);
    void FilterGenusCheckBoxClick(TObject* Sender);
    void GenusLabelDblClick(TObject* Sender);
    void FilterGroupCheckBoxClick(TObject* Sender);
    void GroupLabelDblClick(TObject* Sender);

    // ------------------------------------------------ main menu
    void MainMenuSearchConfigurationClick(TObject* Sender);
    void MainMenuTLCRFClick(TObject* Sender);
    void MainMenuCuneClick(TObject* Sender);
    void MainMenuHelpClick(TObject* Sender);
    void MainMenuAboutClick(TObject* Sender);
    void MainMenuQuitClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ReadLIASFile1Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button2Click(TObject* Sender);

    // Commands of windows wired at integration (their menu items are not
    // created until those windows exist).
    void MainMenuViewSubstancesClick(TObject* Sender);
    void MainMenuAddSubstanceClick(TObject* Sender);
    void MainMenuViewLichensClick(TObject* Sender);
    void MainMenuDownloadLIPORDataClick(TObject* Sender);
    void DownloadSubstanceData1Click(TObject* Sender);

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildOptions();
    void BuildSpotList();
    void StartUp();
    QByteArray probeBody;   // receives the body of the internet probe
    std::unique_ptr<TSQLConnection> connection;
    std::unique_ptr<TSQLQuery> query;
    std::unique_ptr<TNetHTTPClient> client;
    std::unique_ptr<TNetHTTPRequest> request;
};

extern TForm1* Form1;
