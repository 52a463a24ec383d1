#pragma once
// Pictures for the tool bars of the search configuration and cune windows.
// They use the main window's image list; a window built without the main
// window gets drawn pictures of its own, so its buttons never fall back to
// captions (a tool button is a fixed 23 pixels wide, and captions would run
// into each other).
#include "framework/Controls.h"

// The main window's image list indices these windows use.
enum TToolPicture { tpNew = 0, tpOpen = 2, tpSaveAs = 3, tpSave = 4, tpDelete = 5 };

// Gives `bar` its image list: the main window's, or one owned by `owner`.
void SetToolBarPictures(TComponent* owner, TToolBar* bar);

class TForm;
// A picture button; the hint is its only text.
TToolButton* MakeToolButton(TForm* form, TToolBar* bar, const QString& name, int picture, const QString& hint);
