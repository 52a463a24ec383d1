#include "core/HintWindow.h"

THintForm* HintForm = nullptr;

THintForm::THintForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("HintForm");
    Tag = -1;
    SetBorderStyle(bsNone);
    SetBorderIcons(0);
    SetColor(clWhite);
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetHeight(-11);
    // The one-pixel border around the client area of 98 x 23.
    SetBounds(0, 0, 100, 25);

    Panel = new TPanel(this, this);
    Panel->Name = QStringLiteral("Panel");
    Panel->SetBounds(0, 0, 97, 25);
    Panel->SetSingleBorder(true);
    Panel->SetBorderWidth(1);
    Panel->SetCaption(QStringLiteral("Panel"));
    Panel->Font()->SetName(QStringLiteral("Tahoma"));
    Panel->Font()->SetHeight(-13);
    Panel->SetShowHint(false);
}
