#pragma once
// The Rf calculator: turns a spot distance and a solvent-front distance into
// an Rf value in hundredths and pastes it into the field of the window that
// opened it (the spot entry window or the cune window).
#include "framework/Forms.h"

// The window that opened the calculator for a paste: "InputSpotValuesForm"
// or, for any other value, the cune window. Empty at start.
extern QString RFFormOpener;

class TRFForm : public TForm {
public:
    explicit TRFForm(TComponent* AOwner);

    TLabel* Label1;            // "Spot"
    TEdit* SpotEdit;
    TLabel* Label2;            // "Solvent Front"
    TEdit* SolventFrontEdit;
    TLabel* Label3;            // "RF"
    TEdit* RFEdit;
    // "Close" closes; "Paste " followed by a column name pastes and closes.
    TButton* Button1;

    void SpotEditChange(TObject* Sender);
    void SolventFrontEditChange(TObject* Sender);
    void CalculateRf();
    void Button1Click(TObject* Sender);
};

extern TRFForm* RFForm;
