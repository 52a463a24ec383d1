#pragma once
#include "Classes.h"

// Open and save dialogs through Dialogs().FileDialog, so tests can answer.
// Filter "Spot files (*.spot)|*.spot|All files (*.*)|*.*"; DefaultExt without
// the dot. Execute returns false when cancelled; otherwise FileName is the
// chosen full path (DefaultExt appended when the name has no extension).
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}
    QString Filter, DefaultExt, FileName, InitialDir, Title;
    int FilterIndex = 1;
    virtual bool Execute();
protected:
    bool save = false;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) { save = true; }
};
