#pragma once
// The lichen list window: every lichen name of the Lichens table, narrowed
// by a search text; a double-click opens the lichen in the one-lichen window.
#include "framework/Framework.h"

class TLichenListForm : public TForm {
public:
    explicit TLichenListForm(TComponent* AOwner);

    TEdit* SearchWordEdit = nullptr;
    // Never shown: on while the list holds a search result.
    TCheckBox* FilteredCheckbox = nullptr;
    TListBox* LichenListBox = nullptr;
    TButton* CloseButton = nullptr;

    // Fills the list with all lichens and shows the window (callers empty
    // SearchWordEdit first).
    void LoadLichenList();

    void SearchWordEditChange(TObject* Sender);
    void LichenListBoxDblClick(TObject* Sender);
    void LichenListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void CloseButtonClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

extern TLichenListForm* LichenListForm;

// LichenListForm->LoadLichenList().
void LoadLichenList();
