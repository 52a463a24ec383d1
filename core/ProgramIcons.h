#pragma once
// The program's tool-bar and menu pictures: it ships no image resources, so
// they are drawn, one letter on a coloured square each.
#include "framework/Controls.h"

// Indices: 0 new, 1 copy, 2 open, 3 open all, 4 save, 5 close/delete,
// 6 save all, 7 help, 8 save (menus).
TImageList* MakeProgramImageList(TComponent* owner, const QString& name);
