#include "identify/InputValues.h"

#include "config/SearchConfig.h"
#include "core/FormMapping.h"
#include "core/MainWindow.h"
#include "core/Record.h"
#include "framework/Text.h"
#include "identify/RFCalculator.h"

TInputSpotValuesForm* InputSpotValuesForm = nullptr;

namespace {

TLabel* MakeLabel(TForm* form, TControl* parent, const QString& name, int left, int top,
                  const QString& caption)
{
    auto* label = new TLabel(form, parent);
    label->Name = name;
    label->SetBounds(left, top, 120, 13);
    label->SetCaption(caption);
    return label;
}

TComboBox* MakeColorCombo(TForm* form, TControl* parent, const QString& name, int tag, int left, int top)
{
    auto* combo = new TComboBox(form, parent);
    combo->Name = name;
    combo->Tag = tag;
    combo->SetBounds(left, top, 145, 21);
    combo->DropDownCount = 19;
    combo->SetText("No Result");
    return combo;
}

} // namespace

TInputSpotValuesForm::TInputSpotValuesForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = "InputSpotValuesForm";
    Tag = -1;
    SetCaption("Input TLC Spot Values");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientWidth(619);
    SetClientHeight(567);
    OnShow = Bind(this, &TInputSpotValuesForm::FormShow);

    Label1 = MakeLabel(this, this, "Label1", 16, 16, "TLC Spot");
    Label1->Font()->SetHeight(-16);
    // The label sizes itself to its caption, so the caption is set again in
    // the larger font; sized for the small one it would be cut off.
    Label1->SetCaption(Label1->Caption());
    SpotNumberLabel = MakeLabel(this, this, "SpotNumberLabel", 96, 10, "0");
    SpotNumberLabel->Font()->SetHeight(-24);
    SpotNumberLabel->Font()->SetBold(true);
    SpotNumberLabel->SetBounds(96, 10, 60, 29);

    // The eight Rf fields in one row: A, B, B', C, E, F, G, HPLC.
    struct RfField { TLabel** label; TEdit** edit; const char* name; const char* caption; };
    const RfField fields[8] = {
        {&ALabel, &AEdit, "A", "A:"},           {&BLabel, &BEdit, "B", "B:"},
        {&BprimeLabel, &BprimeEdit, "Bprime", "B':"}, {&CEditLabel, &CEdit, "C", "C:"},
        {&ELabel, &EEdit, "E", "E:"},           {&FLabel, &FEdit, "F", "F"},
        {&GLabel, &GEdit, "G", "G:"},           {&HPLCLabel, &HPLCEdit, "HPLC", "HPLC"},
    };
    for (int i = 0; i < 8; ++i) {
        const int left = 24 + i * 72;
        // "CLabel" is the thallus C reaction, so the Rf labels are "...EditLabel".
        *fields[i].label = MakeLabel(this, this, QString::fromLatin1(fields[i].name) + "EditLabel", left, 52,
                                     QString::fromLatin1(fields[i].caption));
        (*fields[i].label)->SetWidth(35);
        auto* edit = new TEdit(this, this);
        edit->Name = QString::fromLatin1(fields[i].name) + "Edit";
        edit->Tag = i + 1;
        edit->SetBounds(left, 68, 35, 21);
        edit->SetNumbersOnly(true);
        edit->SetHint("Double-Click to open calculator");
        edit->SetShowHint(true);
        edit->OnDblClick = Bind(this, &TInputSpotValuesForm::AEditDblClick);
        *fields[i].edit = edit;
    }

    TLCSpotsGroupBox = new TGroupBox(this, this);
    TLCSpotsGroupBox->Name = "TLCSpotsGroupBox";
    TLCSpotsGroupBox->SetBounds(16, 104, 587, 248);
    TLCSpotsGroupBox->SetCaption("TLC Spots");

    BeforeCharringGroupBox = new TGroupBox(this, TLCSpotsGroupBox);
    BeforeCharringGroupBox->Name = "BeforeCharringGroupBox";
    BeforeCharringGroupBox->SetBounds(12, 20, 563, 82);
    BeforeCharringGroupBox->SetCaption("Before Charring  (H2SO4+heat)");
    BefVisCheckBox = new TCheckBox(this, BeforeCharringGroupBox);
    BefVisCheckBox->Name = "BefVisCheckBox";
    BefVisCheckBox->Tag = 9;
    BefVisCheckBox->SetBounds(12, 24, 180, 17);
    BefVisCheckBox->SetCaption("Visible in visible light");
    BefVisCheckBox->SetHint("Visible in normal light before charring");
    BefVisCheckBox->SetShowHint(true);
    BefUVSCheckBox = new TCheckBox(this, BeforeCharringGroupBox);
    BefUVSCheckBox->Name = "BefUVSCheckBox";
    BefUVSCheckBox->Tag = 10;
    BefUVSCheckBox->SetBounds(12, 50, 180, 17);
    BefUVSCheckBox->SetCaption("Visible in short-wave UV");
    BefUVSCheckBox->SetHint("UV+ in short-wave before charring");
    BefUVSCheckBox->SetShowHint(true);
    BefUVLLabel = MakeLabel(this, BeforeCharringGroupBox, "BefUVLLabel", 240, 24, "Color long wave UV");
    BefUVLCombo = MakeColorCombo(this, BeforeCharringGroupBox, "BefUVLCombo", 11, 240, 42);

    ArchersGroupBox = new TGroupBox(this, TLCSpotsGroupBox);
    ArchersGroupBox->Name = "ArchersGroupBox";
    ArchersGroupBox->SetBounds(12, 108, 563, 56);
    ArchersGroupBox->SetCaption("In Archers Solution");
    ArchersLabel = MakeLabel(this, ArchersGroupBox, "ArchersLabel", 12, 26, "Color in visible light");
    ArchersCombo = MakeColorCombo(this, ArchersGroupBox, "ArchersCombo", 12, 240, 22);

    AfterCharringGroupBox = new TGroupBox(this, TLCSpotsGroupBox);
    AfterCharringGroupBox->Name = "AfterCharringGroupBox";
    AfterCharringGroupBox->SetBounds(12, 170, 563, 68);
    AfterCharringGroupBox->SetCaption("After Charring  (H2SO4+heat)");
    AftVisLabel = MakeLabel(this, AfterCharringGroupBox, "AftVisLabel", 12, 20, "Color in visible light");
    AftVisCombo = MakeColorCombo(this, AfterCharringGroupBox, "AftVisCombo", 13, 12, 38);
    AftUVLabel = MakeLabel(this, AfterCharringGroupBox, "AftUVLabel", 240, 20, "Color in long-wave UV");
    AftUVCombo = MakeColorCombo(this, AfterCharringGroupBox, "AftUVCombo", 14, 240, 38);

    OKButton = new TButton(this, this);
    OKButton->Name = "OKButton";
    OKButton->SetBounds(176, 362, 97, 33);
    OKButton->SetCaption("OK");
    OKButton->OnClick = Bind(this, &TInputSpotValuesForm::OKButtonClick);
    CancelButton = new TButton(this, this);
    CancelButton->Name = "CancelButton";
    CancelButton->SetBounds(344, 362, 97, 33);
    CancelButton->SetCaption("Cancel");
    CancelButton->SetCancel(true);
    CancelButton->OnClick = Bind(this, &TInputSpotValuesForm::CancelButtonClick);

    ThallusGroupBox = new TGroupBox(this, this);
    ThallusGroupBox->Name = "ThallusGroupBox";
    ThallusGroupBox->SetBounds(16, 408, 587, 145);
    ThallusGroupBox->SetCaption("Thallus Spot Tests && UV Reactions");
    KTitleLabel = MakeLabel(this, ThallusGroupBox, "KTitleLabel", 16, 28, "K:");
    KLabel = MakeLabel(this, ThallusGroupBox, "KLabel", 56, 28, "");
    CTitleLabel = MakeLabel(this, ThallusGroupBox, "CTitleLabel", 16, 52, "C:");
    CLabel = MakeLabel(this, ThallusGroupBox, "CLabel", 56, 52, "");
    KCTitleLabel = MakeLabel(this, ThallusGroupBox, "KCTitleLabel", 16, 76, "KC:");
    KCLabel = MakeLabel(this, ThallusGroupBox, "KCLabel", 56, 76, "");
    PDTitleLabel = MakeLabel(this, ThallusGroupBox, "PDTitleLabel", 16, 100, "PD:");
    PDLabel = MakeLabel(this, ThallusGroupBox, "PDLabel", 56, 100, "");
    LichenUVGroupBox = new TGroupBox(this, ThallusGroupBox);
    LichenUVGroupBox->Name = "LichenUVGroupBox";
    LichenUVGroupBox->SetBounds(196, 20, 209, 97);
    LichenUVGroupBox->SetCaption("Lichen color under U.V.");
    CortexTitleLabel = MakeLabel(this, LichenUVGroupBox, "CortexTitleLabel", 12, 28, "UV-cortex:");
    CortexLabel = MakeLabel(this, LichenUVGroupBox, "CortexLabel", 96, 28, "");
    MedullaTitleLabel = MakeLabel(this, LichenUVGroupBox, "MedullaTitleLabel", 12, 60, "UV-medulla:");
    MedullaLabel = MakeLabel(this, LichenUVGroupBox, "MedullaLabel", 96, 60, "");
    for (TLabel* l : {CortexTitleLabel, CortexLabel, MedullaTitleLabel, MedullaLabel})
        l->SetWidth(84);
    Button1 = new TButton(this, ThallusGroupBox);
    Button1->Name = "Button1";
    Button1->SetBounds(420, 52, 153, 33);
    Button1->SetCaption("Edit Thallus Spot Tests");
    Button1->OnClick = Bind(this, &TInputSpotValuesForm::Button1Click);

    // Tab order: the Rf fields left to right, then OK and Cancel.
    QWidget* chain[] = {AEdit->Widget(), BEdit->Widget(), BprimeEdit->Widget(), CEdit->Widget(),
                        EEdit->Widget(), FEdit->Widget(), GEdit->Widget(), HPLCEdit->Widget(),
                        OKButton->Widget(), CancelButton->Widget()};
    for (int i = 0; i + 1 < int(std::size(chain)); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);

    SetPosition(poMainFormCenter);
}

void TInputSpotValuesForm::FormShow(TObject*)
{
    for (TComboBox* combo : {BefUVLCombo, ArchersCombo, AftVisCombo, AftUVCombo})
        combo->Items()->Clear();
    AddItemToComboBoxes(this, QString());
    for (int row = 0; row < 18; ++row)
        AddItemToComboBoxes(this, ColorMatrix[row].ColorName);
}

void TInputSpotValuesForm::OKButtonClick(TObject*)
{
    const int n = StrToIntDef(SpotNumberLabel->Caption(), 0);
    // Spot numbers start at 1; anything else names no spot, and storing it
    // would write outside the list.
    if (n < 1) {
        ShowMessage("Invalid spot number: " + SpotNumberLabel->Caption());
        return;
    }
    TSubstanceRecord record = FormToRecord(this);
    record.name = "Spot " + IntToStr(n);
    if (n > int(Spots.size()))
        Spots.push_back(record);
    else
        Spots[size_t(n - 1)] = record;
    // Marked unsaved before the matching runs: a failing match must not leave
    // the changed spot looking saved.
    SpotsSaved = false;
    if (Form1) {
        Form1->SaveIcon->SetEnabled(true);
        Form1->MatchAllSpots();
    }
    Hide();
}

void TInputSpotValuesForm::CancelButtonClick(TObject*)
{
    Hide();
}

void TInputSpotValuesForm::Button1Click(TObject*)
{
    SearchConfigForm->Show();
}

void TInputSpotValuesForm::AEditDblClick(TObject* Sender)
{
    auto* edit = dynamic_cast<TComponent*>(Sender);
    if (!edit || edit->Tag < 1 || edit->Tag > 8 || !RFForm)
        return;
    RFFormOpener = "InputSpotValuesForm";
    RFForm->Button1->SetCaption("Paste " + ColumnNames[size_t(edit->Tag)]);
    RFForm->SpotEdit->SetText(QString());
    RFForm->SolventFrontEdit->SetText(QString());
    RFForm->RFEdit->SetText(QString());
    RFForm->Show();
}
