#include "core/WaitWindow.h"

TWaitForm* WaitForm = nullptr;

TWaitForm::TWaitForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("WaitForm");
    Tag = -1;
    SetCaption(QStringLiteral("Updating Lichen Data"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biHelp);
    Font()->SetName(QStringLiteral("MS Sans Serif"));
    Font()->SetHeight(-11);
    SetClientWidth(280);
    SetClientHeight(112);

    Label1 = new TLabel(this, this);
    Label1->Name = QStringLiteral("Label1");
    Label1->SetAutoSize(false);
    Label1->SetBounds(32, 24, 225, 20);
    Label1->SetTransparent(false);
    Label1->Font()->SetName(QStringLiteral("MS Sans Serif"));
    Label1->Font()->SetHeight(-13);
    Label1->SetCaption(QStringLiteral("This may take a few seconds..."));

    ProgressBar1 = new TProgressBar(this, this);
    ProgressBar1->Name = QStringLiteral("ProgressBar1");
    ProgressBar1->SetBounds(16, 64, 241, 17);
    ProgressBar1->SetSmooth(true);

    SetPosition(poMainFormCenter);
}

void ShowWait(const QString& text, TControl* owner)
{
    if (!WaitForm) return;
    WaitForm->Label1->SetCaption(text);
    WaitForm->Show();
    if (owner) WaitForm->SetLeft(owner->Left() + (owner->Width() - WaitForm->Width()) / 2);
    Application->ProcessMessages();
}
