#include "substances/ViewRecord.h"

#include "core/FormMapping.h"
#include "core/MainWindow.h"
#include "core/Queries.h"
#include "core/Record.h"
#include "core/RecordText.h"
#include "core/WaitWindow.h"
#include "core/WebText.h"
#include "framework/Text.h"
#include "lichens/OneLichen.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include "lichens/PortalMedia.h"
#include "substances/GlossaryImages.h"
#include "substances/RecordList.h"
#include "substances/SubstanceImage.h"
#include "substances/SubstanceSql.h"

#include <QWidget>
#include <algorithm>

TViewRecordForm* ViewRecordForm = nullptr;
bool ChoosingRelatedCompound = false;

namespace {

const QString MainViewName = QStringLiteral("ViewRecordForm");
const QString CompareName = QStringLiteral("Compare");
const QString NotFoundSuffix = QStringLiteral(" not found in database.");

// One image download at a time: the image window and the wait window are
// shared by every record window.
bool imageLoadRunning = false;

void MonoFont(TControl* c)
{
    c->Font()->SetName(QStringLiteral("Lucida Console"));
    c->Font()->SetHeight(-11);
}

void CaptionFont(TControl* c)
{
    c->Font()->SetName(QStringLiteral("MS Sans Serif"));
    c->Font()->SetHeight(-13);
}

// The width a caption needs in the label's own font.
int CaptionWidth(TLabel* l, const QString& caption)
{
    return QFontMetrics(l->Widget()->font()).horizontalAdvance(caption) + 2;
}

// The picture of the image area: a small framed landscape with the word
// "Images". It tells the user at a glance that the substance has pictures
// (the substance list's probe shows or hides it).
QImage ImagesAvailablePicture()
{
    QImage image(97, 77, QImage::Format_RGB32);
    image.fill(QColor(236, 233, 216));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect photo(10, 6, 77, 48);
    p.fillRect(photo, QColor(150, 200, 235));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPoint(70, 18), 6, 6);
    p.setBrush(QColor(70, 140, 70));
    p.drawPolygon(QPolygon({QPoint(10, 54), QPoint(34, 26), QPoint(52, 44), QPoint(64, 34), QPoint(87, 54)}));
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(photo);
    QFont font = p.font();
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(0, 56, 97, 19), Qt::AlignCenter, QStringLiteral("Images"));
    return image;
}

TLabel* AddLabel(TComponent* owner, TControl* parent, const QString& caption, int left, int top)
{
    auto* l = new TLabel(owner, parent);
    l->SetCaption(caption);
    CaptionFont(l);
    l->SetBounds(left, top, CaptionWidth(l, caption), 16);
    return l;
}

// A label left of a control, right-aligned against it.
void LabelBeside(TComponent* owner, TControl* control, const QString& caption)
{
    auto* l = AddLabel(owner, control->Parent(), caption, 0, control->Top() + 2);
    l->SetLeft(std::max(0, control->Left() - l->Width() - 4));
}

// A label above a control.
void LabelAbove(TComponent* owner, TControl* control, const QString& caption)
{
    AddLabel(owner, control->Parent(), caption, control->Left(), control->Top() - 16);
}

TEdit* NewEdit(TComponent* owner, TControl* parent, const QString& name, int tag, int l, int t, int w, int h,
               bool digits)
{
    auto* e = new TEdit(owner, parent);
    e->Name = name;
    e->Tag = tag;
    e->SetBounds(l, t, w, h);
    e->SetNumbersOnly(digits);
    MonoFont(e);
    return e;
}

TComboBox* NewCombo(TComponent* owner, TControl* parent, const QString& name, int tag, int l, int t, int w,
                    const QString& text)
{
    auto* c = new TComboBox(owner, parent);
    c->Name = name;
    c->Tag = tag;
    c->SetBounds(l, t, w, 19);
    MonoFont(c);
    c->SetText(text);
    return c;
}

TGroupBox* NewGroup(TComponent* owner, TControl* parent, const QString& name, const QString& caption, int l, int t,
                    int w, int h)
{
    auto* g = new TGroupBox(owner, parent);
    g->Name = name;
    g->SetBounds(l, t, w, h);
    g->SetCaption(caption);
    CaptionFont(g);
    return g;
}

bool IsCompareName(const QString& name) { return name.startsWith(CompareName); }

QString CompareWindowName(int n) { return CompareName + QString::number(n); }

// The value of a record control for the save statement.
QString SaveValueOf(TComponent* c)
{
    if (auto* box = dynamic_cast<TCheckBox*>(c))
        return box->Checked() ? QStringLiteral("+") : QStringLiteral("-");
    if (auto* list = dynamic_cast<TListBox*>(c)) {
        QString related;
        for (int i = 0; i < list->Items()->Count(); ++i)
            related += list->Items()->Strings(i) + QStringLiteral(", ");
        return related;
    }
    if (auto* memo = dynamic_cast<TMemo*>(c)) {
        if (c->Tag == 27)
            return ReplaceAll(memo->Text(), QStringLiteral("\r\n"), QStringLiteral(", "));
        return memo->Text();
    }
    if (auto* control = dynamic_cast<TControl*>(c))
        return control->Text();
    return QString();
}

// The compound named by a related-compound item: the text before " [".
QString RelatedCompoundName(const QString& item)
{
    QString rest = item;
    return SplitOff(rest, QStringLiteral(" ["), true);
}

} // namespace

// ---------------------------------------------------------------- construction

TViewRecordForm::TViewRecordForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = MainViewName;
    Tag = 100;
    SetCaption(QStringLiteral("Substance Info"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientWidth(606);
    SetClientHeight(820);
    CaptionFont(this);

    // Group boxes first: the record controls stand in them.
    RFValuesGroupBox = NewGroup(this, this, "RFValuesGroupBox", "RF Values", 8, 33, 593, 73);
    TLCSpotsGroupBox = NewGroup(this, this, "TLCSpotsGroupBox", "TLC Spots", 2, 112, 599, 180);
    BeforeCharringGroupBox = NewGroup(this, TLCSpotsGroupBox, "BeforeCharringGroupBox",
                                      "Before Charring  (H2SO4+heat)", 17, 26, 272, 129);
    ArchersGroupBox = NewGroup(this, TLCSpotsGroupBox, "ArchersGroupBox", "In Archers Solution", 308, 26, 272, 60);
    AfterCharringGroupBox = NewGroup(this, TLCSpotsGroupBox, "AfterCharringGroupBox",
                                     "After Charring  (H2SO4+heat)", 308, 92, 272, 82);
    SpotTestGroupBox = NewGroup(this, this, "SpotTestGroupBox", "Spot Test and UV Reactions", 416, 313, 185, 242);
    MassSpectrumGroupBox = NewGroup(this, this, "MassSpectrumGroupBox", "Mass Spectrum", 416, 560, 185, 152);

    // Record controls in the order the save statement lists their columns.
    NameEdit = NewEdit(this, this, "NameEdit", 0, 62, 8, 539, 19, false);
    KCombo = NewCombo(this, SpotTestGroupBox, "KCombo", 15, 88, 24, 89, QString());
    KCCombo = NewCombo(this, SpotTestGroupBox, "KCCombo", 17, 87, 94, 89, QString());
    PDCombo = NewCombo(this, SpotTestGroupBox, "PDCombo", 18, 88, 129, 89, QString());
    UVCortexCombo = NewCombo(this, SpotTestGroupBox, "UVCortexCombo", 19, 88, 164, 89, QString());
    UVMedullaCombo = NewCombo(this, SpotTestGroupBox, "UVMedullaCombo", 20, 88, 200, 89, QString());
    CCombo = NewCombo(this, SpotTestGroupBox, "CCombo", 16, 88, 59, 89, QString());
    MPlusEdit = NewEdit(this, MassSpectrumGroupBox, "MPlusEdit", 21, 92, 25, 50, 19, true);
    FragmentEdit2 = NewEdit(this, MassSpectrumGroupBox, "FragmentEdit2", 23, 92, 83, 50, 19, true);
    FragmentEdit3 = NewEdit(this, MassSpectrumGroupBox, "FragmentEdit3", 24, 92, 112, 50, 19, true);
    FragmentEdit1 = NewEdit(this, MassSpectrumGroupBox, "FragmentEdit1", 22, 92, 54, 50, 19, true);
    NotesMemo = new TMemo(this, this);
    NotesMemo->Name = "NotesMemo";
    NotesMemo->Tag = 25;
    NotesMemo->SetBounds(8, 615, 385, 61);
    MonoFont(NotesMemo);
    SubstanceClassEdit = NewEdit(this, this, "SubstanceClassEdit", 28, 67, 693, 300, 19, false);
    SynMemo = new TMemo(this, this);
    SynMemo->Name = "SynMemo";
    SynMemo->Tag = 27;
    SynMemo->SetBounds(8, 415, 385, 74);
    SynMemo->SetScrollBars(true, false);
    MonoFont(SynMemo);
    LichenListBox = new TListBox(this, this);
    LichenListBox->Name = "LichenListBox";
    LichenListBox->SetBounds(8, 511, 385, 74);
    LichenListBox->SetHint(QStringLiteral("Double click a Lichen to view its associated substances"));
    MonoFont(LichenListBox);
    LichenListBox->OnDblClick = Bind(this, &TViewRecordForm::LichenListBoxDblClick);
    BioRelatedListBox = new TListBox(this, this);
    BioRelatedListBox->Name = "BioRelatedListBox";
    BioRelatedListBox->Tag = 26;
    BioRelatedListBox->SetBounds(8, 322, 385, 71);
    BioRelatedListBox->SetSorted(true);
    BioRelatedListBox->SetHint(QStringLiteral("Right-click for options"));
    MonoFont(BioRelatedListBox);
    BioRelatedListBox->OnDblClick = Bind(this, &TViewRecordForm::BioRelatedListBoxDblClick);
    BioRelatedListBox->OnMouseDown = Bind(this, &TViewRecordForm::BioRelatedListBoxMouseDown);
    AEdit = NewEdit(this, RFValuesGroupBox, "AEdit", 1, 32, 28, 35, 19, true);
    BEdit = NewEdit(this, RFValuesGroupBox, "BEdit", 2, 103, 28, 35, 19, true);
    BprimeEdit = NewEdit(this, RFValuesGroupBox, "BprimeEdit", 3, 168, 28, 35, 19, true);
    CEdit = NewEdit(this, RFValuesGroupBox, "CEdit", 4, 236, 28, 35, 19, true);
    EEdit = NewEdit(this, RFValuesGroupBox, "EEdit", 5, 304, 28, 35, 19, true);
    GEdit = NewEdit(this, RFValuesGroupBox, "GEdit", 7, 440, 28, 35, 19, true);
    FEdit = NewEdit(this, RFValuesGroupBox, "FEdit", 6, 371, 28, 35, 19, true);
    HPLCEdit = NewEdit(this, RFValuesGroupBox, "HPLCEdit", 8, 536, 28, 41, 19, true);
    BefVisCheckBox = new TCheckBox(this, BeforeCharringGroupBox);
    BefVisCheckBox->Name = "BefVisCheckBox";
    BefVisCheckBox->Tag = 9;
    BefVisCheckBox->SetBounds(17, 24, 152, 25);
    BefVisCheckBox->SetCaption(QStringLiteral("Visible in visible light"));
    BefVisCheckBox->SetHint(QStringLiteral("Visible in normal light before charring"));
    CaptionFont(BefVisCheckBox);
    BefUVSCheckBox = new TCheckBox(this, BeforeCharringGroupBox);
    BefUVSCheckBox->Name = "BefUVSCheckBox";
    BefUVSCheckBox->Tag = 10;
    BefUVSCheckBox->SetBounds(17, 48, 168, 25);
    BefUVSCheckBox->SetCaption(QStringLiteral("Visible in short-wave UV"));
    BefUVSCheckBox->SetHint(QStringLiteral("UV+ in short-wave before charring"));
    CaptionFont(BefUVSCheckBox);
    const QString noResult = QStringLiteral("No Result");
    BefUVLCombo = NewCombo(this, BeforeCharringGroupBox, "BefUVLCombo", 11, 140, 79, 105, noResult);
    ArchersCombo = NewCombo(this, ArchersGroupBox, "ArchersCombo", 12, 143, 22, 105, noResult);
    AftVisCombo = NewCombo(this, AfterCharringGroupBox, "AftVisCombo", 13, 149, 22, 105, noResult);
    AftUVCombo = NewCombo(this, AfterCharringGroupBox, "AftUVCombo", 14, 151, 47, 105, noResult);
    PathEdit = NewEdit(this, this, "PathEdit", 29, 67, 717, 300, 19, false);
    GroupNameEdit = NewEdit(this, this, "GroupNameEdit", 30, 67, 741, 300, 19, false);

    // Captions beside the record controls (Tag 0: never mapped).
    LabelBeside(this, NameEdit, "Name:");
    LabelBeside(this, AEdit, "A:");
    LabelBeside(this, BEdit, "B:");
    LabelBeside(this, BprimeEdit, "B':");
    LabelBeside(this, CEdit, "C:");
    LabelBeside(this, EEdit, "E:");
    LabelBeside(this, FEdit, "F");
    LabelBeside(this, GEdit, "G:");
    LabelBeside(this, HPLCEdit, "HPLC");
    AddLabel(this, BeforeCharringGroupBox, "Color long wave UV", 17, 81);
    AddLabel(this, ArchersGroupBox, "Color in visible light", 10, 24);
    AddLabel(this, AfterCharringGroupBox, "Color in visible light", 10, 24);
    AddLabel(this, AfterCharringGroupBox, "Color in long-wave UV", 10, 49);
    LabelBeside(this, KCombo, "K:");
    LabelBeside(this, CCombo, "C:");
    LabelBeside(this, KCCombo, "KC:");
    LabelBeside(this, PDCombo, "PD:");
    LabelBeside(this, UVCortexCombo, "UV-cortex:");
    LabelBeside(this, UVMedullaCombo, "UV-medulla:");
    LabelBeside(this, MPlusEdit, "M+");
    LabelBeside(this, FragmentEdit1, "Fragment1");
    LabelBeside(this, FragmentEdit2, "Fragment2");
    LabelBeside(this, FragmentEdit3, "Fragment3");
    LabelAbove(this, NotesMemo, "TLC-Reference Species (Quorrel Catalog)");
    LabelAbove(this, BioRelatedListBox, "Biosynthetically Related Compounds");
    LabelAbove(this, SynMemo, "Synonyms");
    LabelAbove(this, LichenListBox, "Lichens");
    LabelBeside(this, SubstanceClassEdit, "Class:");
    LabelBeside(this, PathEdit, "Path:");
    LabelBeside(this, GroupNameEdit, "Group:");

    ReadOnlyCheckBox = new TCheckBox(this, this);
    ReadOnlyCheckBox->Name = "ReadOnlyCheckBox";
    ReadOnlyCheckBox->SetBounds(14, 780, 97, 25);
    ReadOnlyCheckBox->SetCaption(QStringLiteral("Read only"));
    CaptionFont(ReadOnlyCheckBox);
    ReadOnlyCheckBox->SetChecked(true);
    ReadOnlyCheckBox->OnClick = Bind(this, &TViewRecordForm::ReadOnlyCheckBoxClick);

    SaveButton = new TButton(this, this);
    SaveButton->Name = "SaveButton";
    SaveButton->SetBounds(111, 780, 100, 25);
    SaveButton->SetCaption(QStringLiteral("Save"));
    SaveButton->OnClick = Bind(this, &TViewRecordForm::SaveButtonClick);

    CloseButton = new TButton(this, this);
    CloseButton->Name = "CloseButton";
    CloseButton->SetBounds(228, 780, 100, 25);
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetCancel(true);
    CloseButton->OnClick = Bind(this, &TViewRecordForm::CloseButtonClick);

    NPATLASButton = new TButton(this, this);
    NPATLASButton->Name = "NPATLASButton";
    NPATLASButton->SetBounds(346, 780, 100, 25);
    NPATLASButton->SetCaption(QStringLiteral("NPATLAS"));
    NPATLASButton->OnClick = Bind(this, &TViewRecordForm::NPATLASButtonClick);

    Panel1 = new TPanel(this, this);
    Panel1->Name = "Panel1";
    Panel1->SetBounds(480, 718, 97, 79);
    Panel1->SetCaption(QStringLiteral("No Images"));
    Panel1->SetHint(QStringLiteral("Click to display images"));
    Panel1->OnClick = Bind(this, &TViewRecordForm::Panel1Click);

    Image1 = new TImage(this, this);
    Image1->Name = "Image1";
    Image1->SetBounds(480, 718, 97, 77);
    Image1->SetStretch(true);
    Image1->SetPicture(ImagesAvailablePicture());
    Image1->SetHint(QStringLiteral("Click to view images"));
    Image1->SetShowHint(true);
    // The picture lies over the panel; a click on it is a click on the panel.
    Image1->OnClick = Bind(this, &TViewRecordForm::Panel1Click);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->Name = "PopupMenu1";
    Compare1 = new TMenuItem(this, PopupMenu1);
    Compare1->Name = "Compare1";
    Compare1->SetCaption(QStringLiteral("Compare"));
    Compare1->SetImageIndex(12);
    Compare1->OnClick = Bind(this, &TViewRecordForm::Compare1Click);
    AddRelatedCompound1 = new TMenuItem(this, PopupMenu1);
    AddRelatedCompound1->Name = "AddRelatedCompound1";
    AddRelatedCompound1->SetCaption(QStringLiteral("Add Related Compound"));
    AddRelatedCompound1->SetImageIndex(22);
    AddRelatedCompound1->SetVisible(false);
    AddRelatedCompound1->OnClick = Bind(this, &TViewRecordForm::AddRelatedCompound1Click);
    RemoveRelatedCompound1 = new TMenuItem(this, PopupMenu1);
    RemoveRelatedCompound1->Name = "RemoveRelatedCompound1";
    RemoveRelatedCompound1->SetCaption(QStringLiteral("Remove Related Compound"));
    RemoveRelatedCompound1->SetImageIndex(19);
    RemoveRelatedCompound1->SetVisible(false);
    RemoveRelatedCompound1->OnClick = Bind(this, &TViewRecordForm::RemoveRelatedCompound1Click);
    if (Form1)
        PopupMenu1->SetImages(Form1->ImageList1);
    BioRelatedListBox->SetPopupMenu(PopupMenu1);

    SetPosition(poMainFormCenter);
    OnClose = Bind(this, &TViewRecordForm::FormClose);

    NotesMemo->SetText(QString());
    BioRelatedListBox->Clear();
    ReadOnlyCheckBoxClick(this);
    AddItemToComboBoxes(this, QString());
    for (int i = 0; i < 18; ++i)
        AddItemToComboBoxes(this, ColorMatrix[std::size_t(i)].ColorName);
}

TViewRecordForm::~TViewRecordForm()
{
    *alive = false;
}

// ---------------------------------------------------------------- free operations

void LoadSubstanceRecord(TViewRecordForm* form, const QString& name)
{
    SelectSubstanceByName(name);
    if (GetFieldString(QStringLiteral("Name")).isEmpty()) {
        ShowMessage(name + NotFoundSuffix);
        return;
    }
    // The row that was found: a synonym line stands for the substance that
    // lists it, and its lichens are that substance's.
    const QString rowName = GetFieldString(QStringLiteral("name"));
    for (int tag = 1; tag <= 30; ++tag)
        SetControlFromQuery(form, tag);
    form->NameEdit->SetText(rowName);
    const QStringList lichens = LichensOfSubstance(rowName);
    form->LichenListBox->Clear();
    for (const QString& lichen : lichens)
        form->LichenListBox->Items()->Add(lichen);

    if (CountViewWindows() == 1)
        PlaceSideBySide(ViewRecordForm);
    else if (OneLichenForm && IsFormShowing(OneLichenForm))
        PlaceSideBySide(ViewRecordForm, OneLichenForm);
}

void ShowSubstanceRecord(const QString& name)
{
    LoadSubstanceRecord(ViewRecordForm, name);
    ViewRecordForm->Show();
}

void ClearRecordForm()
{
    TViewRecordForm* f = ViewRecordForm;
    for (int i = 0; i < f->ComponentCount(); ++i) {
        TComponent* c = f->Components(i);
        if (auto* e = dynamic_cast<TEdit*>(c))
            e->SetText(QString());
        else if (auto* m = dynamic_cast<TMemo*>(c))
            m->SetText(QString());
        else if (auto* cb = dynamic_cast<TComboBox*>(c))
            cb->SetText(QString());
        else if (auto* lb = dynamic_cast<TListBox*>(c))
            lb->Clear();
    }
    f->BefVisCheckBox->SetChecked(false);
    f->BefUVSCheckBox->SetChecked(false);
}

// ---------------------------------------------------------------- handlers

void TViewRecordForm::ReadOnlyCheckBoxClick(TObject* Sender)
{
    TViewRecordForm* mainView = ViewRecordForm ? ViewRecordForm : this;
    const bool readOnly = mainView->ReadOnlyCheckBox->Checked();
    if (!readOnly)
        ShowMessage(QStringLiteral("Note that any changes or additions are local only and will be overwritten when "
                                   "downloading Substance Data."));
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        const int tag = c->Tag;
        if ((tag >= 1 && tag <= 8) || (tag >= 21 && tag <= 25) || (tag >= 27 && tag <= 30)) {
            if (auto* e = dynamic_cast<TEdit*>(c))
                e->SetReadOnly(readOnly);
            else if (auto* m = dynamic_cast<TMemo*>(c))
                m->SetReadOnly(readOnly);
        } else if (tag >= 9 && tag <= 20) {
            if (auto* control = dynamic_cast<TControl*>(c))
                control->SetEnabled(!readOnly);
        }
    }
    SaveButton->SetEnabled(!readOnly);
    AddRelatedCompound1->SetVisible(!readOnly);
    RemoveRelatedCompound1->SetVisible(!readOnly);
    mainView->CloseButton->SetEnabled(true);
    mainView->ReadOnlyCheckBox->SetEnabled(true);
}

void TViewRecordForm::SaveButtonClick(TObject* Sender)
{
    const QString name = NameEdit->Text();
    bool replace = false;
    if (CountSubstancesNamed(name) > 0) {
        if (MessageDlg(name + QStringLiteral(" already exists.  Replace?"), TMsgDlgType::mtConfirmation,
                       mbOK | mbCancel) == mrCancel)
            return;
        replace = true;
    }
    TViewRecordForm* mainView = ViewRecordForm ? ViewRecordForm : this;
    mainView->ReadOnlyCheckBox->SetChecked(true);
    mainView->Show();

    std::vector<TRecordValue> values;
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (c->Tag >= 1 && c->Tag <= 30)
            values.push_back({c->Tag, SaveValueOf(c)});
    }
    TSaveOutcome outcome;
    try {
        outcome = SaveSubstance(MainConnection(), name, values, replace);
    } catch (const EHalt&) {
        throw;
    } catch (const std::exception&) {
        ShowMessage(QStringLiteral("Error writing to database.  Name \"") + NameEdit->Text() +
                    QStringLiteral("\" not unique?"));
        return;
    }
    ShowMessage(QStringLiteral("Substance \"") + name +
                (outcome == TSaveOutcome::Updated ? QStringLiteral("\" updated.") : QStringLiteral("\" saved.")));
}

void TViewRecordForm::CloseButtonClick(TObject* Sender)
{
    if (!ReadOnlyCheckBox->Checked()
        && MessageDlg(QStringLiteral("Did you need to save changes?"), TMsgDlgType::mtConfirmation,
                      mbOK | mbCancel) == mrCancel)
        return;
    Close();
}

void TViewRecordForm::BioRelatedListBoxDblClick(TObject* Sender)
{
    const int index = BioRelatedListBox->ItemIndex();
    if (index < 0 || index >= BioRelatedListBox->Items()->Count())
        return;
    const QString name = RelatedCompoundName(BioRelatedListBox->Items()->Strings(index));
    SelectSubstanceByName(name);
    if (GetFieldString(QStringLiteral("name")).isEmpty()) {
        ShowMessage(name + NotFoundSuffix);
        return;
    }
    LoadSubstanceRecord(this, name);
}

void TViewRecordForm::BioRelatedListBoxMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                                                 int Y)
{
    // The item under the pointer, wherever the list is scrolled; none below
    // the last item.
    BioRelatedListBox->SetItemIndex(BioRelatedListBox->ItemAtPos(X, Y, true));
}

void TViewRecordForm::LichenListBoxDblClick(TObject* Sender)
{
    const int index = LichenListBox->ItemIndex();
    if (index < 0 || index >= LichenListBox->Items()->Count())
        return;
    ShowLichen(LichenListBox->Items()->Strings(index));
    if (OneLichenForm)
        PlaceSideBySide(this, OneLichenForm);
}

void TViewRecordForm::AddRelatedCompound1Click(TObject* Sender)
{
    ChoosingRelatedCompound = true;
    FillSubstanceList(QString());
}

void TViewRecordForm::RemoveRelatedCompound1Click(TObject* Sender)
{
    BioRelatedListBox->DeleteSelected();
}

void TViewRecordForm::NPATLASButtonClick(TObject* Sender)
{
    Dialogs().OpenUrl(AtlasSearchAddress(NameEdit->Text()));
}

// ---------------------------------------------------------------- comparison windows

void TViewRecordForm::Compare1Click(TObject* Sender)
{
    int n = 1;
    while (FormNameExists(CompareWindowName(n)))
        ++n;
    if (n >= 10) {
        ShowMessage(QStringLiteral("Too many compares..."));
        return;
    }
    const int count = BioRelatedListBox->Items()->Count();
    if (count == 0)
        return;
    int i = BioRelatedListBox->ItemIndex();
    if (i < 0 || i >= count)
        i = 0;
    const QString name = RelatedCompoundName(BioRelatedListBox->Items()->Strings(i));
    SelectSubstanceByName(name);
    if (GetFieldString(QStringLiteral("Name")).isEmpty()) {
        ShowMessage(name + NotFoundSuffix);
        return;
    }
    auto* copy = new TViewRecordForm(Application);
    copy->Name = CompareWindowName(n);
    copy->SaveButton->Hide();
    copy->ReadOnlyCheckBox->Hide();
    copy->SetColor(clSkyBlue);
    copy->Tag = 101;
    LoadSubstanceRecord(copy, name);
    copy->SaveButton->Hide();
    copy->ReadOnlyCheckBox->Hide();
    copy->Show();
    ArrangeCompareWindows();
}

void TViewRecordForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    if (Name == MainViewName) {
        ReadOnlyCheckBox->SetChecked(true);
        // The copies are hidden and renamed at once and freed once control
        // is back in the event loop, so no handler of theirs that is still
        // running is left with a destroyed window.
        for (int n = 1; n <= 9; ++n) {
            auto* copy = dynamic_cast<TViewRecordForm*>(FindFormByName(CompareWindowName(n)));
            if (!copy)
                continue;
            copy->Name.clear();
            copy->Hide();
            copy->ReleaseWhenIdle();
        }
        if (SubstanceImageForm)
            SubstanceImageForm->Close();
        if (RecordListForm)
            PlaceSideBySide(RecordListForm);
        return;
    }
    if (!IsCompareName(Name))
        return;
    // Give up the name now; the framework frees the window after the close,
    // or the image load does when it returns.
    Name.clear();
    if (loadingImages) {
        releaseWhenIdle = true;
        Action = caHide;
    } else {
        Action = caFree;
    }
    for (int i = 1; i <= 9; ++i) {
        if (!FormNameExists(CompareWindowName(i)) && FormNameExists(CompareWindowName(i + 1)))
            FindFormByName(CompareWindowName(i + 1))->Name = CompareWindowName(i);
    }
    ArrangeCompareWindows();
}

void TViewRecordForm::ReleaseWhenIdle()
{
    if (loadingImages)
        releaseWhenIdle = true;
    else
        Release();
}

// ---------------------------------------------------------------- images

void TViewRecordForm::Panel1Click(TObject* Sender)
{
    if (imageLoadRunning)
        return;
    if (!Image1->Visible() || !InternetEnabled)
        return;
    const QString address = GlossaryPageAddress(GlossIdOfSubstance(NameEdit->Text()));

    TSubstanceImageForm* images = SubstanceImageForm;
    const std::shared_ptr<bool> self = alive;
    struct Busy {
        TViewRecordForm* w;
        std::shared_ptr<bool> self;
        Busy(TViewRecordForm* f, std::shared_ptr<bool> s) : w(f), self(std::move(s))
        {
            imageLoadRunning = true;
            w->loadingImages = true;
        }
        ~Busy()
        {
            imageLoadRunning = false;
            if (!*self)
                return;
            w->loadingImages = false;
            if (w->releaseWhenIdle)
                w->Release();
        }
    } busy(this, self);

    WaitForm->Show();
    ShowWait(QStringLiteral("Loading images"), this);
    WaitForm->ProgressBar1->SetPosition(25);
    Application->ProcessMessages();
    // The window may have been closed while events ran; it is then left
    // alone and freed when this handler has returned.
    auto gone = [&] {
        if (*self && !releaseWhenIdle)
            return false;
        WaitForm->Hide();
        return true;
    };
    if (gone())
        return;

    try {
        const QStringList found = GlossaryImageAddresses(HttpGetText(address));
        if (gone())
            return;
        WaitForm->ProgressBar1->SetPosition(75);
        Application->ProcessMessages();
        if (gone())
            return;
        if (found.isEmpty()) {
            images->Hide();
            WaitForm->Hide();
            ShowMessage(QStringLiteral("No images found."));
            return;
        }
        images->Label1->SetCaption(NameEdit->Text());
        for (int j = 0; j < 4; ++j) {
            images->ThumbnailImages[std::size_t(j)]->Hide();
            images->ThumbnailPanels[std::size_t(j)]->Hide();
        }
        const int shown = std::min<int>(int(found.size()), 4);
        for (int j = 0; j < shown; ++j) {
            TImage* thumb = images->ThumbnailImages[std::size_t(j)];
            PortalImageDownload(HTTP2, found[j], thumb);
            thumb->Show();
            images->ThumbnailPanels[std::size_t(j)]->Show();
            WaitForm->ProgressBar1->SetPosition(75);
            Application->ProcessMessages();
            if (gone())
                return;
        }
        images->ChoosePanel(images->ThumbnailImages[0]);
        WaitForm->Hide();
        images->Show();
    } catch (const EHalt&) {
        throw;
    } catch (const std::exception&) {
        // A failed load stops here: no window is moved after the message.
        WaitForm->Hide();
        ShowMessage(QStringLiteral("Error connecting to internet"));
        return;
    }
    if (IsFormShowing(images))
        PlaceSideBySide(this, images);
}
