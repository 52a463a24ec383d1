#pragma once
// The cune window: the list of control substances run on the user's plate,
// each as its published record and its locally measured record, kept in
// .cune files. The correction of the entered spots reads CuneControls.
#include "config/CuneFile.h"
#include "framework/Forms.h"
#include "identify/CuneCorrection.h"
#include <array>

class TCuneForm : public TForm {
public:
    explicit TCuneForm(TComponent* AOwner);

    TListView* CuneListView;
    TToolBar* ToolBar1;
    TToolButton* LoadCuneIcon;
    TToolButton* SaveCuneIcon;
    TToolButton* ToolButton3;     // separator
    TToolButton* AddCuneIcon;
    TToolButton* DeleteCuneIcon;
    TPanel* AddValuesPanel;
    TLabel* Label1;               // "A"
    TEdit* AEdit;                 // Tag 1
    TLabel* Label2;               // "B"
    TEdit* BEdit;                 // Tag 2
    TLabel* Label3;               // "B'"
    TEdit* BprimeEdit;            // Tag 3
    TLabel* Label4;               // "C"
    TEdit* CEdit;                 // Tag 4
    TLabel* Label5;               // "E"
    TEdit* EEdit;                 // Tag 5
    TLabel* Label6;               // "F"
    TEdit* FEdit;                 // Tag 6
    TLabel* Label7;               // "G"
    TEdit* GEdit;                 // Tag 7
    TLabel* Label8;               // "HPLC"
    TEdit* HPLCEdit;              // Tag 8
    TButton* AddButton;           // "Add to table" / "Replace"
    TButton* AcceptButton;
    TButton* CancelButton;
    TPopupMenu* PopupMenu1;
    TMenuItem* Edit1;
    TMenuItem* Delete1;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TMainMenu* MainMenu1;

    void FormShow(TObject* Sender);
    void AddCuneIconClick(TObject* Sender);
    void AddButtonClick(TObject* Sender);
    void CuneListViewDblClick(TObject* Sender);
    void Edit1Click(TObject* Sender);
    void Delete1Click(TObject* Sender);
    void DeleteCuneIconClick(TObject* Sender);
    void CuneListViewContextPopup(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void CuneListViewChange(TObject* Sender, TListItem* Item, TItemChange Change);
    void CuneListViewSelectItem(TObject* Sender, TListItem* Item, bool Selected);
    void CuneListViewClick(TObject* Sender);
    void AcceptButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void LoadCuneIconClick(TObject* Sender);
    void SaveCuneIconClick(TObject* Sender);
    void AEditDblClick(TObject* Sender);

    // The eight entry edits in Tag order (1..8).
    std::array<TEdit*, 8> ValueEdits() const;

    // The position in CuneControls of the record whose local values the
    // entry panel is replacing ("Replace"), or -1.
    int ReplacingIndex = -1;

private:
    void UpdateAcceptEnabled();
};
extern TCuneForm* CuneForm;

// Pairs: position 2j the published record of control j, 2j + 1 its local
// record. Empty at start.
extern TCuneControls CuneControls;

// Adds the named substance (its database row) as a new control's published
// record and enables the entry panel. Refused with a message while the last
// control still lacks its local values.
void AddCuneControl(const QString& name);
// The list view from CuneControls.
void RefillCuneList();
// Enables or disables every control of the entry panel.
void EnableAddValuesPanel(bool flag);
// Replaces CuneControls by the records of a cune file's text.
void ParseCuneText(const QString& text);

// The call point "pick a control from the substance list": opens the
// substance list in its choose-control mode (caption "Select Cune Control
// Substance", every name, search edit shown and focused). A double-click
// there shows the cune window and calls AddCuneControl.
void PickCuneControlFromSubstanceList();
