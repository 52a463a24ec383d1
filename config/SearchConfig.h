#pragma once
// The search configuration window: the colour-similarity matrix, the matching
// method with its thresholds, the compare switches and the thallus reactions,
// loaded from and saved to .scfg files. Its controls are the live search
// parameters the matching engine reads; the main window mirrors the method
// and the three switches (a change crosses once: the framework runs a click
// handler only when the value changes).
#include "config/SearchConfigFile.h"
#include "framework/Forms.h"

class TSearchConfigForm : public TForm {
public:
    explicit TSearchConfigForm(TComponent* AOwner);

    TListView* SearchConfigListView;
    TGroupBox* GroupBox1;              // "TLC Spots"
    TCheckBox* UseTLCCheckbox;
    TCheckBox* UseUVCheckbox;
    TLabel* Label1;                    // "RF Error"
    TEdit* RFErrorEdit;
    TLabel* Label2;                    // "Correlation Factor"
    TEdit* CorrelationFactorEdit;
    TGroupBox* GroupBox2;              // "Thallus Spot Tests && UV Reactions"
    TCheckBox* UseThallusCheckbox;
    TLabel* Label3;                    // "K:"
    TComboBox* KCombo;                 // Tag 15
    TLabel* Label4;                    // "C:"
    TComboBox* CCombo;                 // Tag 16
    TLabel* Label5;                    // "KC:"
    TComboBox* KCCombo;                // Tag 17
    TLabel* Label6;                    // "PD:"
    TComboBox* PDCombo;                // Tag 18
    TGroupBox* GroupBox3;              // "Lichen color under UV"
    TLabel* Label7;                    // "UV-cortex:"
    TComboBox* CortexCombo;            // Tag 19
    TLabel* Label8;                    // "UV-medulla:"
    TComboBox* MedullaCombo;           // Tag 20
    TRadioGroup* MatchingMethodRadioGroup;
    TButton* SaveButton;
    TButton* SaveAsButton;
    TButton* LoadButton;
    TButton* CloseButton;              // "OK"
    TToolBar* ToolBar1;
    TToolButton* LoadDefaultIcon;
    TToolButton* LoadIcon;
    TToolButton* SaveIcon;
    TToolButton* SaveAsIcon;
    TMainMenu* MainMenu1;
    TMenuItem* File1;
    TMenuItem* LoadDefault1;
    TMenuItem* Load1;
    TMenuItem* Save1;
    TMenuItem* SaveAs1;
    TMenuItem* Close1;
    TMenuItem* Help1;
    TMenuItem* Help2;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;

    void Load1Click(TObject* Sender);
    void LoadIconClick(TObject* Sender);
    void LoadDefault1Click(TObject* Sender);
    void LoadDefaultIconClick(TObject* Sender);
    void Save1Click(TObject* Sender);
    void SaveIconClick(TObject* Sender);
    void SaveButtonClick(TObject* Sender);
    void SaveAs1Click(TObject* Sender);
    void SaveAsIconClick(TObject* Sender);
    void SaveAsButtonClick(TObject* Sender);
    void Close1Click(TObject* Sender);
    void CloseButtonClick(TObject* Sender);
    void UseTLCCheckboxClick(TObject* Sender);
    void UseUVCheckboxClick(TObject* Sender);
    void UseThallusCheckboxClick(TObject* Sender);
    void RFErrorEditChange(TObject* Sender);
    void CorrelationFactorEditChange(TObject* Sender);
    void MatchingMethodRadioGroupClick(TObject* Sender);
    void FormShow(TObject* Sender);
    void SearchConfigListViewDblClick(TObject* Sender);
    void Help1Click(TObject* Sender);

    // The six thallus combo boxes in Tag order (15..20).
    std::array<TComboBox*, ThallusColorCount> ThallusCombos() const;

private:
    // Asks for a file and saves there; false when cancelled or refused (the
    // file name is then as it was).
    bool SaveToChosenFile(bool setInitialDir);
};
extern TSearchConfigForm* SearchConfigForm;

// The current configuration file: a bare name (current directory) or a full
// path. Empty at start.
extern QString SearchConfigFileName;
// No unsaved changes (true at start). Read by the quit sequence.
extern bool SearchConfigSaved;

// Records the saved state and updates both captions; an unsaved state
// re-runs the matching.
void SetSearchConfigSaved(bool flag);
// SaveButton and Save1 are disabled while the file is exactly "Default.scfg".
void UpdateSaveEnabled();
// Refills the matrix view from ColorMatrix ("X"/"-" in RF Error mode, the
// numbers in Correlation mode).
void RefreshColorMatrixView();
// The thallus column captions of the main window's spot list (15..20).
void UpdateThallusColumns();
// The spot entry window's six thallus labels take the combo box texts.
void CopyThallusSelections();
// Adds the 18 colour names to the combo boxes when they have none yet.
void EnsureColorItems();

// The settings as the windows hold them now (matrix, switches, edits,
// thallus texts, the main window's method).
TSearchConfig CurrentSearchConfig();
// Puts a configuration into ColorMatrix and the controls; setting a control
// runs its own handlers, as a user's change would.
void ApplySearchConfig(const TSearchConfig& config);
// The .scfg text of the current settings; makes ColorMatrix symmetric.
QString SearchConfigToText();
// Reads .scfg text into the matrix and the controls. A text refused as
// outdated shows the message and changes nothing (false). On success the
// caption names the file and the configuration counts as saved.
bool ParseSearchConfig(const QString& text);
// Reads and applies a file. A refused or unreadable file shows its message
// and changes nothing, SearchConfigFileName included (false).
bool LoadSearchConfigFile(const QString& path);
// Writes the configuration to SearchConfigFileName and refreshes the main
// window. False (nothing written, nothing marked saved) when refused: the
// default file, or values that would not read back.
bool SaveSearchConfig();
// "CurrentSearch.cfg" in the keyed form, naming SearchConfigFileName.
void WriteCurrentSearch();
