#include "substances/RecordList.h"

#include "config/Cune.h"
#include "core/FormMapping.h"
#include "core/MainWindow.h"
#include "core/Queries.h"
#include "core/WebText.h"
#include "substances/SubstanceSql.h"

TRecordListForm* RecordListForm = nullptr;

namespace {

void MonoFont(TControl* c)
{
    c->Font()->SetName(QStringLiteral("Lucida Console"));
    c->Font()->SetHeight(-11);
}

} // namespace

TRecordListForm::TRecordListForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("RecordListForm");
    Tag = 101;
    SetCaption(QStringLiteral("Substances"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientWidth(417);
    SetClientHeight(542);
    KeyPreview = true;

    SearchWordLabel = new TLabel(this, this);
    SearchWordLabel->Name = "SearchWordLabel";
    SearchWordLabel->SetAutoSize(false);
    SearchWordLabel->SetBounds(58, 16, 300, 16);
    SearchWordLabel->SetAlignment(taCenter);
    SearchWordLabel->Font()->SetHeight(-13);
    SearchWordLabel->Font()->SetBold(true);
    SearchWordLabel->SetCaption(QString());
    SearchWordLabel->Hide();

    SearchWordEdit = new TEdit(this, this);
    SearchWordEdit->Name = "SearchWordEdit";
    SearchWordEdit->SetBounds(58, 30, 300, 19);
    MonoFont(SearchWordEdit);
    SearchWordEdit->OnChange = Bind(this, &TRecordListForm::SearchWordEditChange);
    SearchWordEdit->OnKeyDown = Bind(this, &TRecordListForm::SearchWordEditKeyDown);

    RecordListBox = new TListBox(this, this);
    RecordListBox->Name = "RecordListBox";
    RecordListBox->SetBounds(16, 64, 385, 409);
    RecordListBox->SetHint(QStringLiteral("Click item to view, type to find matches"));
    RecordListBox->SetShowHint(true);
    MonoFont(RecordListBox);
    RecordListBox->SetItemHeight(11);
    RecordListBox->OnDblClick = Bind(this, &TRecordListForm::RecordListBoxDblClick);
    RecordListBox->OnKeyDown = Bind(this, &TRecordListForm::RecordListBoxKeyDown);
    RecordListBox->OnKeyPress = Bind(this, &TRecordListForm::RecordListBoxKeyPress);

    CloseButton = new TButton(this, this);
    CloseButton->Name = "CloseButton";
    CloseButton->SetBounds(156, 496, 105, 25);
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetCancel(true);
    CloseButton->OnClick = Bind(this, &TRecordListForm::CloseButtonClick);

    SetPosition(poDesktopCenter);
    OnShow = Bind(this, &TRecordListForm::FormShow);
    OnHide = Bind(this, &TRecordListForm::FormHide);
    OnClose = Bind(this, &TRecordListForm::FormClose);
}

void FillSubstanceList(const QString& text)
{
    RecordListForm->FillSubstanceList(text);
}

void TRecordListForm::FillSubstanceList(const QString& text)
{
    RecordListBox->Clear();
    const QStringList lines = SubstanceListLines(text);
    for (const QString& line : lines)
        RecordListBox->Items()->Add(line);
    RecordListBox->SetItemIndex(RecordListBox->Items()->Count() > 0 ? 0 : -1);
    if (text.isEmpty()) {
        SearchWordLabel->SetCaption(QString());
        SearchWordEdit->SetText(QString());
        SearchWordLabel->Hide();
        SearchWordEdit->Show();
    }
    Show();
    SearchWordEdit->SetFocus();
}

void TRecordListForm::CloseButtonClick(TObject* Sender)
{
    Hide();
    ChoosingRelatedCompound = false;
}

void TRecordListForm::RecordListBoxDblClick(TObject* Sender)
{
    const int index = RecordListBox->ItemIndex();
    if (index < 0 || index >= RecordListBox->Items()->Count())
        return;
    const QString item = RecordListBox->Items()->Strings(index);
    if (item.isEmpty())
        return;

    if (ChoosingRelatedCompound) {
        ViewRecordForm->BioRelatedListBox->AddItem(item, Sender);
        ChoosingRelatedCompound = false;
        Hide();
        return;
    }
    const bool probeImages = !ChoosingCuneControl;
    if (ChoosingCuneControl) {
        CuneForm->Show();
        AddCuneControl(item);
        Close();
    }

    ViewRecordForm->ReadOnlyCheckBox->SetChecked(true);
    SelectSubstanceByName(item);
    const QString name = GetFieldString(QStringLiteral("name"));
    if (probeImages) {
        // The probe asks for the page of the substance found, so a synonym
        // line probes its substance's pictures.
        if (InternetEnabled) {
            const QByteArray page = HttpGetText(GlossaryPageAddress(GlossIdOfSubstance(name)));
            ViewRecordForm->Image1->SetVisible(page.contains(".jpg"));
        } else {
            ViewRecordForm->Image1->Hide();
        }
    }
    ShowSubstanceRecord(name);
    PlaceSideBySide(ViewRecordForm, RecordListForm);
}

void TRecordListForm::SearchWordEditChange(TObject* Sender)
{
    FillSubstanceList(SearchWordEdit->Text());
}

void TRecordListForm::FormShow(TObject* Sender)
{
    SearchWordEdit->SetText(QString());
    if (ViewRecordForm && IsFormShowing(ViewRecordForm))
        PlaceSideBySide(ViewRecordForm, RecordListForm);
    else
        PlaceSideBySide(RecordListForm);
}

void TRecordListForm::SearchWordEditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    const int count = RecordListBox->Items()->Count();
    if (Key == VK_RETURN) {
        RecordListBoxDblClick(Sender);
    } else if (Key == VK_DOWN) {
        int index = RecordListBox->ItemIndex() + 1;
        if (index >= count)
            index = count - 1;
        RecordListBox->SetItemIndex(index);
    } else if (Key == VK_UP) {
        int index = RecordListBox->ItemIndex() - 1;
        if (index < 0)
            index = count > 0 ? 0 : -1;
        RecordListBox->SetItemIndex(index);
    }
}

void TRecordListForm::FormHide(TObject* Sender)
{
    ChoosingRelatedCompound = false;
}

void TRecordListForm::RecordListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    // Any key in the list moves on to the search edit; a key that types a
    // character types it there (RecordListBoxKeyPress).
    SearchWordEdit->SetFocus();
}

void TRecordListForm::RecordListBoxKeyPress(TObject* Sender, QChar& Key)
{
    // Blanks, punctuation below "0" and control characters type nothing.
    if (Key.unicode() <= 47 || !Key.isPrint())
        return;
    QChar c = Key;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        c = QChar(c.unicode() + 32);
    SearchWordEdit->SetFocus();
    SearchWordEdit->SetText(QString(c));
    Dialogs().SendEndKey();
}

void TRecordListForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    if (ViewRecordForm && IsFormShowing(ViewRecordForm) && CountViewWindows() == 2)
        PlaceSideBySide(ViewRecordForm);
}
