#pragma once
// The substance-group filter's pick list, twin of the genus window. The list
// is filled once (FillGroupList). Cancel or closing without OK puts the
// selection back to what the main window's GroupLabel shows.
#include "framework/Forms.h"

class TGroupForm : public TForm {
public:
    explicit TGroupForm(TComponent* AOwner);

    TListBox* GroupListBox;   // multi-select; hint "Double click to select"
    TButton* OKButton;
    TButton* CancelButton;

    void GroupListBoxDblClick(TObject* Sender);
    void OKButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // Selects exactly the items that the main window's GroupLabel names.
    void RestoreSelectionFromLabel();

private:
    QStringList labelItems;
};

extern TGroupForm* GroupForm;

// Adds every distinct GroupName of Substances (alphabetical) to GroupForm's
// list; does not clear it first.
void FillGroupList();
