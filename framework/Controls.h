#pragma once
// Every control of the framework, by family.
#include "Clipboard.h"
#include "Control.h"
#include "FileDialogs.h"
#include "ImageControls.h"
#include "ListControls.h"
#include "PanelControls.h"
#include "StandardControls.h"
#include "WebBrowser.h"
