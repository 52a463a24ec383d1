#pragma once
// The whole window framework in one include.
#include "Classes.h"
#include "Controls.h"
#include "Dialogs.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Menus.h"
