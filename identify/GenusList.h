#pragma once
// The genus filter's pick list. The list is filled once (FillGenusList) the
// first time it is needed. Cancel or closing without OK puts the selection
// back to what the main window's GenusLabel shows, so the filter the matching
// reads always agrees with the label.
#include "framework/Forms.h"

class TGenusForm : public TForm {
public:
    explicit TGenusForm(TComponent* AOwner);

    TListBox* GenusListBox;   // multi-select; hint "Double click to select"
    TButton* OKButton;
    TButton* CancelButton;

    void GenusListBoxDblClick(TObject* Sender);
    void OKButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // Selects exactly the items that the main window's GenusLabel names.
    void RestoreSelectionFromLabel();

private:
    // The items the label was last set to by this window, in list order.
    QStringList labelItems;
};

extern TGenusForm* GenusForm;

// Adds every distinct genus of Lichens (alphabetical) to GenusForm's list;
// does not clear it first (callers call it while the list is empty).
void FillGenusList();

// Pick-list helpers shared with the group window.
// The texts of the selected items, in list order.
QStringList SelectedItemTexts(TListBox* list);
// Selects exactly the items a filter label shows: the remembered items when
// they still form the caption, else the caption's ", "-separated names.
void SelectItemsShownBy(TListBox* list, const QStringList& remembered, const QString& caption);
// Runs the statement and adds the field of every row to the list.
void FillPickList(TListBox* list, const QString& sql, const QString& field);
