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
