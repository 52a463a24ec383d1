#include "core/HintWindow.h"

#include "framework/PassiveWindow.h"

THintForm* HintForm = nullptr;

THintForm::THintForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("HintForm");
    Tag = -1;
    SetBorderStyle(bsNone);
    SetBorderIcons(0);
    // Shown on every mouse move over the spot list: it must neither take the
    // focus from the main window nor catch the clicks meant for the list.
    MakePassiveWindow(this);
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
