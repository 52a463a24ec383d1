#pragma once
// The substance list: every substance by name, each followed by its synonym
// lines "  (synonym)", narrowed by a search text over names and synonyms.
// Choosing a line opens the record, or, in a pick mode, hands the line to the
// record view's related compounds (ChoosingRelatedCompound, ViewRecord.h) or
// to the cune window as a control (ChoosingCuneControl, core/MainWindow.h).
#include "framework/Framework.h"
#include "substances/ViewRecord.h"

class TRecordListForm : public TForm {
public:
    explicit TRecordListForm(TComponent* AOwner);

    TLabel* SearchWordLabel;
    TEdit* SearchWordEdit;
    TListBox* RecordListBox;
    TButton* CloseButton;

    // Refills the list for the search text ("" = every substance), shows the
    // window and focuses the search edit.
    void FillSubstanceList(const QString& text);

    void CloseButtonClick(TObject* Sender);
    void RecordListBoxDblClick(TObject* Sender);
    void SearchWordEditChange(TObject* Sender);
    void FormShow(TObject* Sender);
    void SearchWordEditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormHide(TObject* Sender);
    void RecordListBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    // Types the character of the key pressed into the search edit.
    void RecordListBoxKeyPress(TObject* Sender, QChar& Key);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

extern TRecordListForm* RecordListForm;

// RecordListForm->FillSubstanceList(text).
void FillSubstanceList(const QString& text);
