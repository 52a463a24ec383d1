#include "lichens/LichenList.h"

#include "core/FormMapping.h"
#include "core/Queries.h"
#include "core/WaitWindow.h"
#include "lichens/LichenText.h"
#include "lichens/OneLichen.h"

#include <QGuiApplication>

TLichenListForm* LichenListForm = nullptr;

void LoadLichenList()
{
    if (LichenListForm) LichenListForm->LoadLichenList();
}

namespace {

// The wait cursor and the wait window for the length of a fill, however it ends.
struct BusyScope {
    explicit BusyScope(bool waitWindow) : waitWindow(waitWindow)
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyScope()
    {
        QGuiApplication::restoreOverrideCursor();
        if (waitWindow && WaitForm) WaitForm->Hide();
    }
    bool waitWindow;
};

void AddLichenRows(TListBox* list)
{
    TSQLQuery& query = MainQuery();
    if (query.Eof()) return;
    // All lines in one change of the list; a statement failing part way
    // still leaves the lines read before it, as adding them one by one did.
    QStringList lines;
    try {
        for (TField& lichen = query.FieldByName(QStringLiteral("Lichen")); !query.Eof(); query.Next())
            lines << lichen.AsString();
    } catch (...) {
        list->AddItems(lines);
        throw;
    }
    list->AddItems(lines);
}

} // namespace

TLichenListForm::TLichenListForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("LichenListForm");
    Tag = 100;
    SetCaption(QStringLiteral("Lichens"));
    SetBorderIcons(biSystemMenu);
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetHeight(-11);
    SetClientWidth(327);
    SetClientHeight(591);

    SearchWordEdit = new TEdit(this, this);
    SearchWordEdit->Name = QStringLiteral("SearchWordEdit");
    SearchWordEdit->SetBounds(56, 8, 225, 21);
    SearchWordEdit->SetHint(QStringLiteral("Enter text to match"));
    SearchWordEdit->SetShowHint(true);
    SearchWordEdit->OnChange = Bind(this, &TLichenListForm::SearchWordEditChange);

    FilteredCheckbox = new TCheckBox(this, this);
    FilteredCheckbox->Name = QStringLiteral("FilteredCheckbox");
    FilteredCheckbox->SetBounds(8, 8, 33, 25);
    FilteredCheckbox->SetCaption(QStringLiteral("FilteredCheckbox"));
    FilteredCheckbox->SetVisible(false);

    LichenListBox = new TListBox(this, this);
    LichenListBox->Name = QStringLiteral("LichenListBox");
    LichenListBox->SetBounds(8, 48, 313, 489);
    LichenListBox->SetHint(QStringLiteral("Double-Click to view"));
    LichenListBox->SetShowHint(true);
    LichenListBox->Font()->SetName(QStringLiteral("Lucida Console"));
    LichenListBox->Font()->SetHeight(-11);
    LichenListBox->SetItemHeight(11);
    LichenListBox->OnDblClick = Bind(this, &TLichenListForm::LichenListBoxDblClick);
    LichenListBox->OnKeyDown = Bind(this, &TLichenListForm::LichenListBoxKeyDown);

    CloseButton = new TButton(this, this);
    CloseButton->Name = QStringLiteral("CloseButton");
    CloseButton->SetBounds(104, 552, 105, 25);
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetCancel(true);
    CloseButton->OnClick = Bind(this, &TLichenListForm::CloseButtonClick);

    OnClose = Bind(this, &TLichenListForm::FormClose);
    SetPosition(poMainFormCenter);
}

void TLichenListForm::LoadLichenList()
{
    BusyScope busy(true);
    LichenListBox->Clear();
    Show();
    if (WaitForm) {
        WaitForm->Label1->SetCaption(QStringLiteral("Loading lichens..."));
        WaitForm->Show();
    }
    Application->ProcessMessages();

    RunQuery(AllLichensSql);
    LichenListBox->Hide();
    try {
        AddLichenRows(LichenListBox);
    } catch (...) {
        LichenListBox->Show();
        throw;
    }
    LichenListBox->Show();
    FilteredCheckbox->SetChecked(false);
    SearchWordEdit->SetFocus();
}

void TLichenListForm::SearchWordEditChange(TObject* Sender)
{
    if (SearchWordEdit->Text().size() == 1 && FilteredCheckbox->Checked()) {
        // Back from a search to one character: all lichens again.
        SearchWordEdit->SetText(QString());
        LoadLichenList();
    }
    const QString text = SearchWordEdit->Text();
    if (text.size() < 2) return;
    LichenListBox->Clear();
    // LIKE wildcards typed by the user keep their meaning.
    RunQuery(LichenSearchSql, {QStringLiteral("%") + text + QStringLiteral("%")});
    AddLichenRows(LichenListBox);
    FilteredCheckbox->SetChecked(true);
}

void TLichenListForm::LichenListBoxDblClick(TObject* Sender)
{
    const int index = LichenListBox->ItemIndex();
    if (index < 0) return;
    const QString name = LichenListBox->Items()->Strings(index);
    struct Hide { ~Hide() { if (WaitForm) WaitForm->Hide(); } } hideWait;
    if (WaitForm) {
        WaitForm->Label1->SetCaption(QStringLiteral("Loading ") + name);
        WaitForm->Show();
    }
    Application->ProcessMessages();
    ShowLichen(name);
    PlaceSideBySide(LichenListForm, OneLichenForm);
}

void TLichenListForm::LichenListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    // Codes of 128 and above read as negative: the punctuation keys and the
    // keys without a code of their own (VK_NONE) only move the focus.
    int c = static_cast<signed char>(Key & 0xFF);
    if (c >= 65 && c <= 90) c += 32;
    SearchWordEdit->SetFocus();
    if (c <= 47) return;
    SearchWordEdit->SetText(QString(QChar(c)));
    Dialogs().SendEndKey();
}

void TLichenListForm::CloseButtonClick(TObject* Sender)
{
    FilteredCheckbox->SetChecked(false);
    Hide();
}

void TLichenListForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    if (OneLichenForm && IsFormShowing(OneLichenForm) && CountViewWindows() == 2)
        PlaceSideBySide(OneLichenForm);
}
