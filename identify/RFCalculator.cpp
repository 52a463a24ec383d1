#include "identify/RFCalculator.h"

#include "config/Cune.h"
#include "core/FormMapping.h"
#include "core/Record.h"
#include "core/RecordText.h"
#include "identify/InputValues.h"
#include "identify/RfValue.h"

QString RFFormOpener;
TRFForm* RFForm = nullptr;

TRFForm::TRFForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = "RFForm";
    SetCaption("Calculate RF-TLC");
    SetBorderStyle(bsSingle);
    SetClientWidth(261);
    SetClientHeight(201);

    Label1 = new TLabel(this, this);
    Label1->Name = "Label1";
    Label1->SetBounds(24, 27, 26, 13);
    Label1->SetCaption("Spot");
    SpotEdit = new TEdit(this, this);
    SpotEdit->Name = "SpotEdit";
    SpotEdit->SetBounds(120, 24, 113, 21);
    SpotEdit->SetText("0");
    SpotEdit->OnChange = Bind(this, &TRFForm::SpotEditChange);

    Label2 = new TLabel(this, this);
    Label2->Name = "Label2";
    Label2->SetBounds(24, 67, 70, 13);
    Label2->SetCaption("Solvent Front");
    SolventFrontEdit = new TEdit(this, this);
    SolventFrontEdit->Name = "SolventFrontEdit";
    SolventFrontEdit->SetBounds(120, 64, 113, 21);
    SolventFrontEdit->SetText("0");
    SolventFrontEdit->OnChange = Bind(this, &TRFForm::SolventFrontEditChange);

    Label3 = new TLabel(this, this);
    Label3->Name = "Label3";
    Label3->SetBounds(24, 107, 16, 13);
    Label3->SetCaption("RF");
    RFEdit = new TEdit(this, this);
    RFEdit->Name = "RFEdit";
    RFEdit->SetBounds(120, 104, 113, 21);
    RFEdit->SetText("0");

    Button1 = new TButton(this, this);
    Button1->Name = "Button1";
    Button1->SetBounds(86, 152, 89, 33);
    Button1->SetCaption("Close");
    Button1->OnClick = Bind(this, &TRFForm::Button1Click);

    SetPosition(poOwnerFormCenter);
}

void TRFForm::SpotEditChange(TObject*) { CalculateRf(); }

void TRFForm::SolventFrontEditChange(TObject*) { CalculateRf(); }

void TRFForm::CalculateRf()
{
    RFEdit->SetText(RfValueText(SpotEdit->Text(), SolventFrontEdit->Text()));
}

void TRFForm::Button1Click(TObject*)
{
    if (Button1->Caption() == "Close") {
        Close();
        return;
    }
    QString rest = Button1->Caption();
    SplitOff(rest, " ", false);
    int tag = 0;
    for (int i = 1; i <= 8; ++i)
        if (ColumnNames[i] == rest) {
            tag = i;
            break;
        }
    // A caption naming no Rf column pastes nothing: Tag 0 would hit an
    // unrelated control of the opener.
    if (tag > 0) {
        TForm* target = nullptr;
        if (RFFormOpener == "InputSpotValuesForm")
            target = InputSpotValuesForm;
        else
            target = CuneForm;
        if (target) {
            SetControlByTag(target, tag, RFEdit->Text());
            target->Show();
        }
    }
    Button1->SetCaption("Close");
    Close();
}
