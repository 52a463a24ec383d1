#include "core/FullScreenImage.h"

TFullScreenImageForm* FullScreenImageForm = nullptr;

TFullScreenImageForm::TFullScreenImageForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("FullScreenImageForm");
    SetCaption(QStringLiteral("Quillaspore"));
    Font()->SetName(QStringLiteral("Segoe UI"));
    Font()->SetHeight(-12);
    SetBounds(0, 0, Width(), Height());
    SetClientWidth(628);
    SetClientHeight(442);

    Image1 = new TImage(this, this);
    Image1->Name = QStringLiteral("Image1");
    Image1->SetAlign(alClient);
    Image1->SetStretch(true);
    Image1->SetProportional(true);
    Image1->SetCenter(true);
    Image1->OnDblClick = Bind(this, &TFullScreenImageForm::Image1DblClick);

    Panel1 = new TPanel(this, this);
    Panel1->Name = QStringLiteral("Panel1");
    Panel1->Tag = -1;
    Panel1->SetBounds(0, 401, 628, 41);
    Panel1->SetAlign(alBottom);

    CloseButton = new TButton(this, Panel1);
    CloseButton->Name = QStringLiteral("CloseButton");
    CloseButton->SetBounds(296, 8, 75, 25);
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetCancel(true);
    CloseButton->OnClick = Bind(this, &TFullScreenImageForm::CloseButtonClick);

    SetPosition(poDesigned);
    SetWindowState(wsMaximized);
}

void TFullScreenImageForm::CloseButtonClick(TObject* Sender) { Close(); }

void TFullScreenImageForm::Image1DblClick(TObject* Sender) {}
