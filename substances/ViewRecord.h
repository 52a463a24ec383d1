#pragma once
// The substance record window: one row of Substances shown field by field,
// with its lichens, editable on demand and saved back. The main instance
// (ViewRecordForm, Tag 100) lives for the whole run; the comparison copies
// "Compare1" ... "Compare9" (Tag 101, sky blue, no Save and no read-only
// switch) are created by the Compare command and freed when they close.
//
// Record controls carry the field index of TSubstanceRecord as their Tag;
// they are created in the order the save statement lists its columns.
#include "framework/Framework.h"
#include "framework/NetHTTP.h"

#include <memory>

class TViewRecordForm : public TForm {
public:
    explicit TViewRecordForm(TComponent* AOwner);
    ~TViewRecordForm() override;

    // Group boxes.
    TGroupBox* RFValuesGroupBox;
    TGroupBox* TLCSpotsGroupBox;
    TGroupBox* BeforeCharringGroupBox;
    TGroupBox* ArchersGroupBox;
    TGroupBox* AfterCharringGroupBox;
    TGroupBox* SpotTestGroupBox;
    TGroupBox* MassSpectrumGroupBox;

    // Record controls (Tag = field index; NameEdit 0), in component order.
    TEdit* NameEdit;
    TComboBox* KCombo;            // 15
    TComboBox* KCCombo;           // 17
    TComboBox* PDCombo;           // 18
    TComboBox* UVCortexCombo;     // 19
    TComboBox* UVMedullaCombo;    // 20
    TComboBox* CCombo;            // 16
    TEdit* MPlusEdit;             // 21
    TEdit* FragmentEdit2;         // 23
    TEdit* FragmentEdit3;         // 24
    TEdit* FragmentEdit1;         // 22
    TMemo* NotesMemo;             // 25
    TEdit* SubstanceClassEdit;    // 28
    TMemo* SynMemo;               // 27
    TListBox* LichenListBox;      // Tag 0
    TListBox* BioRelatedListBox;  // 26
    TEdit* AEdit;                 // 1
    TEdit* BEdit;                 // 2
    TEdit* BprimeEdit;            // 3
    TEdit* CEdit;                 // 4
    TEdit* EEdit;                 // 5
    TEdit* GEdit;                 // 7
    TEdit* FEdit;                 // 6
    TEdit* HPLCEdit;              // 8
    TCheckBox* BefVisCheckBox;    // 9
    TCheckBox* BefUVSCheckBox;    // 10
    TComboBox* BefUVLCombo;       // 11
    TComboBox* ArchersCombo;      // 12
    TComboBox* AftVisCombo;       // 13
    TComboBox* AftUVCombo;        // 14
    TEdit* PathEdit;              // 29
    TEdit* GroupNameEdit;         // 30

    TCheckBox* ReadOnlyCheckBox;
    TButton* SaveButton;
    TButton* CloseButton;
    TButton* NPATLASButton;
    TPanel* Panel1;
    TImage* Image1;
    TPopupMenu* PopupMenu1;
    TMenuItem* Compare1;
    TMenuItem* AddRelatedCompound1;
    TMenuItem* RemoveRelatedCompound1;

    // The image request of this window (no error handler: failures raise).
    TNetHTTPClient NetHTTPClient1;
    TNetHTTPRequest HTTP2{&NetHTTPClient1};

    void ReadOnlyCheckBoxClick(TObject* Sender);
    void SaveButtonClick(TObject* Sender);
    void CloseButtonClick(TObject* Sender);
    void BioRelatedListBoxDblClick(TObject* Sender);
    void BioRelatedListBoxMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void LichenListBoxDblClick(TObject* Sender);
    void AddRelatedCompound1Click(TObject* Sender);
    void RemoveRelatedCompound1Click(TObject* Sender);
    void NPATLASButtonClick(TObject* Sender);
    void Compare1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Panel1Click(TObject* Sender);

    // True while this window's image download runs (a second click is refused).
    bool LoadingImages() const { return loadingImages; }
    // Shared flag that turns false when the window is destroyed, so code that
    // let events run can tell whether the window is still there.
    std::shared_ptr<bool> AliveFlag() const { return alive; }

private:
    // Frees the window, or, while its image load runs, once that has returned.
    void ReleaseWhenIdle();
    bool loadingImages = false;
    // Closed while its image load ran: freed when the load returns.
    bool releaseWhenIdle = false;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

extern TViewRecordForm* ViewRecordForm;

// Set by Add Related Compound; read and cleared by the substance list.
extern bool ChoosingRelatedCompound;

// Loads the substance into the main view and shows it (also when the name
// was not found).
void ShowSubstanceRecord(const QString& name);
// Fills a record window (the main one or a comparison copy) with the named
// substance (a synonym line "  (...)" selects the substance listing it) and
// places the main view.
void LoadSubstanceRecord(TViewRecordForm* form, const QString& name);
// Empties the main view (its read-only state stays).
void ClearRecordForm();
