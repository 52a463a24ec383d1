#pragma once
// The data-update window: never shown; it carries the two data updates that
// the main window's menu commands start, the version check, and at
// construction the probe for the glossary column of Substances.
#include "framework/Forms.h"
#include "update/UpdateDates.h"   // LichenDataDate, SubstanceDataDate (the About box reads them)

class TUpdateForm : public TForm {
public:
    explicit TUpdateForm(TComponent* AOwner);
    ~TUpdateForm() override;

    TButton* LichenUpdateButton;
    TButton* SubstanceUpdateButton;
    TButton* VersionCheckButton;
    TImageList* ImageList1;

    // Expect WaitForm on screen (the menu command shows it); each hides it
    // on every way out. A click while an update runs does nothing.
    void LichenUpdateButtonClick(TObject* Sender);
    void SubstanceUpdateButtonClick(TObject* Sender);
    void VersionCheckButtonClick(TObject* Sender);
};
extern TUpdateForm* UpdateForm;
