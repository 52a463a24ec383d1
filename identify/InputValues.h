#pragma once
// The spot entry window: the values of one TLC spot (Rf values, visibility
// before charring, spot colours). OK stores them as spot n of Spots and
// re-runs the matching. Lives for the whole run; shown and hidden.
#include "framework/Forms.h"

class TInputSpotValuesForm : public TForm {
public:
    explicit TInputSpotValuesForm(TComponent* AOwner);

    TLabel* Label1;              // "TLC Spot"
    TLabel* SpotNumberLabel;     // the spot number n, set by the opener
    TLabel* ALabel;
    TEdit* AEdit;                // Tag 1 ... HPLCEdit Tag 8
    TLabel* BLabel;
    TEdit* BEdit;
    TLabel* BprimeLabel;
    TEdit* BprimeEdit;
    TLabel* CEditLabel;
    TEdit* CEdit;
    TLabel* ELabel;
    TEdit* EEdit;
    TLabel* FLabel;
    TEdit* FEdit;
    TLabel* GLabel;
    TEdit* GEdit;
    TLabel* HPLCLabel;
    TEdit* HPLCEdit;
    TGroupBox* TLCSpotsGroupBox;          // "TLC Spots"
    TGroupBox* BeforeCharringGroupBox;    // "Before Charring  (H2SO4+heat)"
    TCheckBox* BefVisCheckBox;            // Tag 9
    TCheckBox* BefUVSCheckBox;            // Tag 10
    TLabel* BefUVLLabel;
    TComboBox* BefUVLCombo;               // Tag 11
    TGroupBox* ArchersGroupBox;           // "In Archers Solution"
    TLabel* ArchersLabel;
    TComboBox* ArchersCombo;              // Tag 12
    TGroupBox* AfterCharringGroupBox;     // "After Charring  (H2SO4+heat)"
    TLabel* AftVisLabel;
    TComboBox* AftVisCombo;               // Tag 13
    TLabel* AftUVLabel;
    TComboBox* AftUVCombo;                // Tag 14
    TButton* OKButton;
    TButton* CancelButton;
    TGroupBox* ThallusGroupBox;           // "Thallus Spot Tests && UV Reactions"
    TLabel* KTitleLabel;
    TLabel* KLabel;
    TLabel* CTitleLabel;
    TLabel* CLabel;
    TLabel* KCTitleLabel;
    TLabel* KCLabel;
    TLabel* PDTitleLabel;
    TLabel* PDLabel;
    TGroupBox* LichenUVGroupBox;          // "Lichen color under U.V."
    TLabel* CortexTitleLabel;
    TLabel* CortexLabel;
    TLabel* MedullaTitleLabel;
    TLabel* MedullaLabel;
    TButton* Button1;                     // "Edit Thallus Spot Tests"

    void FormShow(TObject* Sender);
    void OKButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void Button1Click(TObject* Sender);
    // Shared by the eight Rf edits: opens the Rf calculator for the sender.
    void AEditDblClick(TObject* Sender);
};

extern TInputSpotValuesForm* InputSpotValuesForm;
