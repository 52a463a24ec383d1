#include "config/ToolBarPictures.h"
#include "core/MainWindow.h"
#include "core/ProgramIcons.h"

void SetToolBarPictures(TComponent* owner, TToolBar* bar)
{
    if (Form1 && Form1->ImageList1 && Form1->ImageList1->Count() > tpDelete) {
        bar->SetImages(Form1->ImageList1);
        return;
    }
    // The same pictures as the main window's list, so the indices agree.
    auto* list = MakeProgramImageList(owner, QStringLiteral("ToolBarPictures"));
    bar->SetImages(list);
}

TToolButton* MakeToolButton(TForm* form, TToolBar* bar, const QString& name, int picture, const QString& hint)
{
    auto* b = new TToolButton(form, bar);
    b->Name = name;
    b->SetImageIndex(picture);
    b->SetHint(hint);
    b->SetShowHint(true);
    return b;
}
