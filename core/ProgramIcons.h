#pragma once
// The program's tool-bar and menu pictures: it ships no image resources, so
// they are drawn, a letter or a small sign on a coloured square each.
#include "framework/Controls.h"

// The indices the windows name. Indices between them that no window names
// hold an empty picture, so the named ones keep their places.
enum TProgramPicture {
    ppNew = 0,
    ppCopy = 1,
    ppOpen = 2,
    ppOpenAll = 3,
    ppSave = 4,
    ppClose = 5,   // also delete
    ppSaveAll = 6,
    ppHelp = 7,
    ppMenuSave = 8,
    ppCompare = 12,
    ppRemove = 19,
    ppAdd = 22,
    ProgramPictureCount = 23
};

TImageList* MakeProgramImageList(TComponent* owner, const QString& name);
