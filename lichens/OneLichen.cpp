#include "lichens/OneLichen.h"

#include "core/FormMapping.h"
#include "core/MainWindow.h"
#include "core/FullScreenImage.h"
#include "core/Queries.h"
#include "core/RecordText.h"
#include "core/WaitWindow.h"
#include "core/WebText.h"
#include "lichens/LichenList.h"
#include "lichens/LichenText.h"
#include "lichens/PortalMedia.h"
#include "substances/ViewRecord.h"

#include <QFrame>

TOneLichenForm* OneLichenForm = nullptr;
QString TaxonId;
std::array<QString, 6> ImageUrls;
std::array<QString, 6> OriginalImageUrls;
int CurrentImageIndex = -1;

namespace {

// Hides the wait window however the work ends.
struct WaitHider {
    ~WaitHider()
    {
        if (WaitForm) WaitForm->Hide();
    }
};

void SetFramed(TPanel* panel, bool framed)
{
    if (framed) {
        panel->SetSingleBorder(true);
    } else if (auto* frame = qobject_cast<QFrame*>(panel->Widget())) {
        frame->setFrameShape(QFrame::NoFrame);
    }
}

TForm* ShowingForm(const QString& name)
{
    TForm* form = FindFormByName(name);
    return form && IsFormShowing(form) ? form : nullptr;
}

TForm* ShowingFormWithNamePart(const QString& part)
{
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TForm*>(Application->Components(i));
        if (form && form->Visible() && form->Name.contains(part)) return form;
    }
    return nullptr;
}

void WriteOnPicture(TImage* image, int fontSize, const QString& text)
{
    image->ClearPicture();
    image->Canvas()->Font->SetSize(fontSize);
    image->Canvas()->TextOut(80, 100, text);
}

bool IsSlot(int index) { return index >= 0 && index < 6; }

} // namespace

TOneLichenForm::TOneLichenForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("OneLichenForm");
    Tag = 101;
    SetCaption(QStringLiteral("One Lichen"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetHeight(-11);

    LichenNameLabel = new TLabel(this, this);
    LichenNameLabel->Name = QStringLiteral("LichenNameLabel");
    LichenNameLabel->SetBounds(208, 8, 100, 13);
    LichenNameLabel->Font()->SetName(QStringLiteral("Lucida Console"));
    LichenNameLabel->Font()->SetHeight(-13);
    LichenNameLabel->SetCaption(QString());

    ListBox = new TListBox(this, this);
    ListBox->Name = QStringLiteral("ListBox");
    ListBox->SetBounds(17, 27, 552, 94);
    ListBox->Font()->SetName(QStringLiteral("Lucida Console"));
    ListBox->Font()->SetHeight(-11);
    ListBox->SetItemHeight(11);
    ListBox->OnDblClick = Bind(this, &TOneLichenForm::ListBoxDblClick);

    CopyButton = new TButton(this, this);
    CopyButton->Name = QStringLiteral("CopyButton");
    CopyButton->SetBounds(12, 127, 105, 22);
    CopyButton->SetCaption(QStringLiteral("Copy"));
    CopyButton->OnClick = Bind(this, &TOneLichenForm::CopyButtonClick);

    SaveButton = new TButton(this, this);
    SaveButton->Name = QStringLiteral("SaveButton");
    SaveButton->SetBounds(136, 127, 105, 22);
    SaveButton->SetCaption(QStringLiteral("Save"));
    SaveButton->OnClick = Bind(this, &TOneLichenForm::SaveButtonClick);

    Image1 = new TImage(this, this);
    Image1->Name = QStringLiteral("Image1");
    Image1->SetBounds(8, 168, 564, 385);
    Image1->SetStretch(true);
    Image1->SetProportional(true);
    Image1->SetCenter(true);
    Image1->SetHint(QStringLiteral("Double Click for full screen image"));
    Image1->SetShowHint(true);
    Image1->OnDblClick = Bind(this, &TOneLichenForm::Image1DblClick);

    FullScreenLabel = new TLabel(this, this);
    FullScreenLabel->Name = QStringLiteral("FullScreenLabel");
    FullScreenLabel->SetBounds(362, 587, 60, 13);
    FullScreenLabel->SetVisible(false);

    CBRichEdit = new TRichEdit(this, this);
    CBRichEdit->Name = QStringLiteral("CBRichEdit");
    CBRichEdit->SetBounds(264, 584, 49, 33);
    CBRichEdit->SetVisible(false);
    CBRichEdit->Font()->SetName(QStringLiteral("Tahoma"));
    CBRichEdit->Font()->SetHeight(-11);

    ConsortiumButton = new TButton(this, this);
    ConsortiumButton->Name = QStringLiteral("ConsortiumButton");
    ConsortiumButton->SetBounds(64, 622, 105, 22);
    ConsortiumButton->SetCaption(QStringLiteral("Lichen Consortium"));
    ConsortiumButton->OnClick = Bind(this, &TOneLichenForm::ConsortiumButtonClick);

    CloseButton = new TButton(this, this);
    CloseButton->Name = QStringLiteral("CloseButton");
    CloseButton->SetBounds(231, 623, 105, 22);
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetCancel(true);
    CloseButton->Font()->SetName(QStringLiteral("Tahoma"));
    CloseButton->Font()->SetHeight(-13);
    CloseButton->OnClick = Bind(this, &TOneLichenForm::CloseButtonClick);

    FullScreenButton = new TButton(this, this);
    FullScreenButton->Name = QStringLiteral("FullScreenButton");
    FullScreenButton->SetBounds(399, 622, 105, 22);
    FullScreenButton->SetCaption(QStringLiteral("Full Screen"));
    FullScreenButton->OnClick = Bind(this, &TOneLichenForm::Image1DblClick);

    MainMenu1 = new TMainMenu(this);
    MainMenu1->Name = QStringLiteral("MainMenu1");
    // The menu's pictures are the main window's.
    if (Form1) MainMenu1->SetImages(Form1->ImageList1);
    File1 = new TMenuItem(this, MainMenu1);
    File1->Name = QStringLiteral("File1");
    File1->SetCaption(QStringLiteral("File"));
    Save1 = new TMenuItem(this, File1);
    Save1->Name = QStringLiteral("Save1");
    Save1->SetCaption(QStringLiteral("Save"));
    Save1->SetImageIndex(8);
    Save1->OnClick = Bind(this, &TOneLichenForm::Save1Click);
    Close1 = new TMenuItem(this, File1);
    Close1->Name = QStringLiteral("Close1");
    Close1->SetCaption(QStringLiteral("Close"));
    Close1->SetImageIndex(5);
    Close1->OnClick = Bind(this, &TOneLichenForm::Close1Click);
    Edit1 = new TMenuItem(this, MainMenu1);
    Edit1->Name = QStringLiteral("Edit1");
    Edit1->SetCaption(QStringLiteral("Edit"));
    Copy1 = new TMenuItem(this, Edit1);
    Copy1->Name = QStringLiteral("Copy1");
    Copy1->SetCaption(QStringLiteral("Copy"));
    Copy1->SetImageIndex(1);
    Copy1->OnClick = Bind(this, &TOneLichenForm::Copy1Click);
    SetMenu(MainMenu1);

    SetClientWidth(572);
    SetClientHeight(651);

    for (int i = 0; i < 6; ++i) {
        auto* panel = new TPanel(this, this);
        panel->SetBounds(22 + 75 * i, 560, 74, 58);
        panel->SetVisible(false);
        panel->Tag = i;
        panel->SetSingleBorder(true);
        panel->SetBorderWidth(4);
        panel->OnClick = Bind(this, &TOneLichenForm::ThumbnailPanelClick);
        ThumbnailPanels[i] = panel;

        auto* image = new TImage(this, this);
        image->SetBounds(24 + 75 * i, 560, 65, 49);
        image->SetVisible(false);
        image->SetStretch(true);
        image->SetProportional(true);
        image->Tag = i;
        image->SetCenter(true);
        // The picture lies over its panel: a click on it must reach the panel.
        image->Widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
        ThumbnailImages[i] = image;
    }

    OnShow = Bind(this, &TOneLichenForm::FormShow);
    OnClose = Bind(this, &TOneLichenForm::FormClose);
    SetPosition(poMainFormCenter);
}

// ---------------------------------------------------------------- showing a lichen

void LookupTaxonId(const QString& name)
{
    if (!InternetEnabled) {
        TaxonId = QStringLiteral("0");
        return;
    }
    const QString tid = ParseTaxonId(HttpGetText(PortalTaxonomyRequest(name)));
    // An unknown name must not show the photographs of the lichen before.
    TaxonId = tid.isEmpty() ? QStringLiteral("0") : tid;
}

void ShowLichen(const QString& name)
{
    TOneLichenForm* form = OneLichenForm;
    if (!form) return;
    WaitHider hideWait;
    ShowWait(QStringLiteral("Loading ") + name, Application->MainForm());

    form->LichenNameLabel->SetCaption(name);
    form->FullScreenButton->SetEnabled(true);
    form->LichenNameLabel->SetLeft(form->Width() / 2 - 4 * int(form->LichenNameLabel->Caption().size()));
    for (int i = 0; i < 6; ++i) {
        form->ThumbnailImages[i]->Hide();
        form->ThumbnailPanels[i]->Hide();
    }
    CurrentImageIndex = -1;

    LookupTaxonId(name);
    if (InternetEnabled) form->LoadLichenImages();

    RunQuery(LichenSubstancesSql, {name});
    TSQLQuery& query = MainQuery();
    if (query.Eof()) {
        ShowMessage(name + QStringLiteral(" not found."));
        return;
    }
    form->ListBox->Clear();
    while (!query.Eof()) {
        form->ListBox->Items()->Add(LichenSubstanceItem(GetFieldString(QStringLiteral("Substance"))));
        query.Next();
    }
    form->Show();
}

void TOneLichenForm::LoadLichenImages()
{
    std::vector<TPortalMedia> media;
    // "0": the portal does not know the lichen, so there is nothing to ask for.
    if (TaxonId != QLatin1String("0"))
        media = ParsePortalMedia(HttpGetText(PortalMediaRequest(TaxonId)));

    int slot = 0;
    for (const TPortalMedia& item : media) {
        if (slot == 6) break;
        if (!TryPortalImageDownload(HTTP2, item.Thumbnail, ThumbnailImages[slot])) continue;
        ThumbnailImages[slot]->Show();
        ThumbnailPanels[slot]->Show();
        ImageUrls[slot] = item.Url;
        OriginalImageUrls[slot] = item.Original;
        ++slot;
    }

    if (slot == 0) {
        WriteOnPicture(Image1, 40, QStringLiteral("No images found"));
        FullScreenButton->SetEnabled(false);
        return;
    }
    ThumbnailPanelClick(ThumbnailImages[0]);
}

void TOneLichenForm::ThumbnailPanelClick(TObject* Sender)
{
    auto* component = dynamic_cast<TComponent*>(Sender);
    if (!component || !IsSlot(component->Tag)) return;
    const int k = component->Tag;
    CurrentImageIndex = k;
    for (TPanel* panel : ThumbnailPanels) SetFramed(panel, false);
    SetFramed(ThumbnailPanels[k], true);

    if (TryPortalImageDownload(HTTP2, ImageUrls[k], Image1)) return;
    if (TryPortalImageDownload(HTTP2, OriginalImageUrls[k], Image1)) return;
    WriteOnPicture(Image1, 30, QStringLiteral("Error loading image"));
}

void TOneLichenForm::Image1DblClick(TObject* Sender)
{
    if (CurrentImageIndex == -1 || !IsSlot(CurrentImageIndex) || !FullScreenImageForm) return;
    const int k = CurrentImageIndex;
    WaitHider hideWait;
    ShowWait(QStringLiteral("Loading Image..."), this);
    TImage* target = FullScreenImageForm->Image1;
    if (!TryPortalImageDownload(HTTP2, OriginalImageUrls[k], target) &&
        !TryPortalImageDownload(HTTP2, ImageUrls[k], target))
        return;   // nothing new to show: the full-screen window stays as it was
    FullScreenImageForm->Show();
    TButton* close = FullScreenImageForm->CloseButton;
    close->SetLeft(FullScreenImageForm->Width() / 2 - close->Width() / 2);
}

// ---------------------------------------------------------------- placement

void TOneLichenForm::FormShow(TObject* Sender)
{
    if (LichenListForm) PlaceSideBySide(LichenListForm, this);
}

void TOneLichenForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    TForm* record = ShowingForm(QStringLiteral("ViewRecordForm"));
    TForm* lichenList = FindFormByName(QStringLiteral("LichenListForm"));
    if (!record) {
        if (lichenList && IsFormShowing(lichenList)) PlaceSideBySide(lichenList);
        return;
    }
    if (TForm* images = ShowingForm(QStringLiteral("SubstanceImageForm"))) {
        PlaceSideBySide(record, images);
    } else if (TForm* duplicate = ShowingFormWithNamePart(QStringLiteral("DupForm"))) {
        PlaceSideBySide(record, duplicate);
    } else if (TForm* substances = ShowingForm(QStringLiteral("RecordListForm"))) {
        PlaceSideBySide(record, substances);
    } else {
        PlaceSideBySide(record);
        if (lichenList) PlaceSideBySide(lichenList);
    }
}

// ---------------------------------------------------------------- commands

void TOneLichenForm::Save1Click(TObject* Sender)
{
    const QString fileName = LichenSubstancesFileName(LichenNameLabel->Caption());
    // WriteUtf8File reports a failed write itself.
    if (WriteUtf8File(fileName, LichenSubstancesFileBytes(ListBox->Items()->ToStringList()), true))
        ShowMessage(QStringLiteral("Saved file ") + fileName);
}

void TOneLichenForm::SaveButtonClick(TObject* Sender) { Save1Click(Sender); }

void TOneLichenForm::Copy1Click(TObject* Sender)
{
    const QString text = LichenSubstancesCopyText(ListBox->Items()->ToStringList());
    CBRichEdit->SetCaption(text);
    CBRichEdit->SelectAll();
    if (text.isEmpty())
        Clipboard()->SetAsText(QString());   // copying an empty selection would keep the old text
    else
        CBRichEdit->CopyToClipboard();
    ShowMessage(QStringLiteral("List of substances copied to clipboard"));
}

void TOneLichenForm::CopyButtonClick(TObject* Sender) { Copy1Click(Sender); }

void TOneLichenForm::CloseButtonClick(TObject* Sender)
{
    for (int i = 0; i < 6; ++i) {
        ThumbnailPanels[i]->Hide();
        ThumbnailImages[i]->Hide();
    }
    Close();
}

void TOneLichenForm::Close1Click(TObject* Sender) { CloseButtonClick(Sender); }

void TOneLichenForm::ConsortiumButtonClick(TObject* Sender)
{
    Dialogs().OpenUrl(PortalTaxonPage(LichenNameLabel->Caption()));
}

void TOneLichenForm::ListBoxDblClick(TObject* Sender)
{
    const int index = ListBox->ItemIndex();
    if (index < 0) return;
    const QString item = ListBox->Items()->Strings(index);
    if (item.isEmpty()) return;
    if (!ViewRecordForm) return;
    ViewRecordForm->ReadOnlyCheckBox->SetChecked(true);
    ShowSubstanceRecord(item);
}
