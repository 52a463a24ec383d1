#pragma once
// Windows that only show something next to the mouse pointer.
#include "Forms.h"

// Makes a borderless window a passive one: showing it does not take the
// activation or the keyboard focus from the window the user works in, and
// the mouse goes through it to whatever lies below. Call it after the
// window's border style is set.
void MakePassiveWindow(TForm* form);
