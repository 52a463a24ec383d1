#include "substances/SubstanceImage.h"

#include "core/FormMapping.h"
#include "core/FullScreenImage.h"
#include "lichens/OneLichen.h"
#include "substances/RecordList.h"
#include "substances/ViewRecord.h"

#include <QFrame>
#include <QWidget>

TSubstanceImageForm* SubstanceImageForm = nullptr;

TSubstanceImageForm::TSubstanceImageForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("SubstanceImageForm");
    Tag = 101;
    SetCaption(QStringLiteral("Substance Images"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientWidth(917);
    SetClientHeight(653);
    Font()->SetName(QStringLiteral("Segoe UI"));
    Font()->SetHeight(-12);

    Label1 = new TLabel(this, this);
    Label1->Name = "Label1";
    Label1->SetBounds(353, 3, 300, 20);
    Label1->Font()->SetName(QStringLiteral("Segoe UI"));
    Label1->Font()->SetHeight(-15);
    Label1->SetCaption(QStringLiteral("Label1"));

    Image1 = new TImage(this, this);
    Image1->Name = "Image1";
    Image1->SetBounds(8, 29, 901, 540);
    Image1->SetStretch(true);
    Image1->SetProportional(true);
    Image1->SetCenter(true);
    Image1->SetHint(QStringLiteral("Double-click to view full screen"));
    Image1->SetShowHint(true);
    Image1->OnDblClick = Bind(this, &TSubstanceImageForm::Image1DblClick);

    CloseButton = new TButton(this, this);
    CloseButton->Name = "CloseButton";
    CloseButton->SetBounds(417, 600, 97, 25);
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetCancel(true);
    CloseButton->OnClick = Bind(this, &TSubstanceImageForm::CloseButtonClick);

    FullScreenButton = new TButton(this, this);
    FullScreenButton->Name = "FullScreenButton";
    FullScreenButton->SetBounds(672, 600, 75, 25);
    FullScreenButton->SetCaption(QStringLiteral("Full Screen"));
    FullScreenButton->OnClick = Bind(this, &TSubstanceImageForm::FullScreenButtonClick);

    SetPosition(poMainFormCenter);
    OnClose = Bind(this, &TSubstanceImageForm::FormClose);

    const int top = Image1->Top() + Image1->Height() + 10;
    for (int i = 0; i < 4; ++i) {
        auto* panel = new TPanel(this, this);
        panel->SetBounds(22 + 75 * i, top, 74, 58);
        panel->Tag = i;
        panel->SetSingleBorder(true);
        panel->SetBorderWidth(4);
        panel->SetCaption(QString());
        panel->OnClick = Bind(this, &TSubstanceImageForm::ChoosePanel);
        ThumbnailPanels[std::size_t(i)] = panel;

        auto* image = new TImage(this, this);
        image->SetBounds(24 + 75 * i, top, 65, 49);
        image->Tag = i;
        image->SetStretch(true);
        // The picture lies inside its panel's frame; clicks go to the panel.
        image->Widget()->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        ThumbnailImages[std::size_t(i)] = image;
    }
}

void TSubstanceImageForm::SetFramed(int i, bool on)
{
    framed[std::size_t(i)] = on;
    if (auto* frame = qobject_cast<QFrame*>(ThumbnailPanels[std::size_t(i)]->Widget()))
        frame->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
}

void TSubstanceImageForm::ChoosePanel(TObject* Sender)
{
    auto* c = dynamic_cast<TComponent*>(Sender);
    if (!c || c->Tag < 0 || c->Tag > 3)
        return;
    const int k = c->Tag;
    Image1->SetPicture(ThumbnailImages[std::size_t(k)]->Picture());
    for (int i = 0; i < 4; ++i)
        SetFramed(i, false);
    SetFramed(k, true);
}

void TSubstanceImageForm::CloseButtonClick(TObject* Sender)
{
    Close();
}

void TSubstanceImageForm::FullScreenButtonClick(TObject* Sender)
{
    FullScreenImageForm->Image1->SetPicture(Image1->Picture());
    FullScreenImageForm->Show();
    TButton* button = FullScreenImageForm->CloseButton;
    button->SetLeft(FullScreenImageForm->Width() / 2 - button->Width() / 2);
}

void TSubstanceImageForm::Image1DblClick(TObject* Sender)
{
    FullScreenButtonClick(Sender);
}

void TSubstanceImageForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    if (ShowingFormNameContains(QStringLiteral("Compare2"))) {
        if (TForm* second = FindFormByName(QStringLiteral("Compare2")))
            PlaceSideBySide(second);
    } else if (ShowingFormNameContains(QStringLiteral("Compare1"))) {
        if (TForm* first = FindFormByName(QStringLiteral("Compare1")))
            PlaceSideBySide(ViewRecordForm, first);
    } else if (OneLichenForm && IsFormShowing(OneLichenForm)) {
        PlaceSideBySide(ViewRecordForm, OneLichenForm);
    } else if (RecordListForm && IsFormShowing(RecordListForm)) {
        PlaceSideBySide(ViewRecordForm, RecordListForm);
    }
}
