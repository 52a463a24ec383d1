#pragma once
// The colour-similarity editor: one row of ColorMatrix, 18 edits with
// up-downs. OK writes the row and the matching column, so the matrix stays
// symmetric.
#include "config/SearchConfigFile.h"
#include "framework/Forms.h"
#include <array>

class TEditOneColorForm : public TForm {
public:
    explicit TEditOneColorForm(TComponent* AOwner);

    TButton* Button1;   // "Cancel"
    TButton* Button2;   // "OK"

    // Built at run time, indexed by colour (ColorMatrix row order).
    std::array<TLabel*, ConfigColorCount> ColorLabels{};
    std::array<TEdit*, ConfigColorCount> ColorEdits{};
    std::array<TUpDown*, ConfigColorCount> ColorUpDowns{};
    int EditedColorRow = 0;

    // Shows the window for row n (0..17; other values do nothing).
    void EditColorRow(int n);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);

private:
    void ColorEditChange(TObject* Sender);
    void ColorUpDownClick(TObject* Sender, TUDBtnType Button);
};
extern TEditOneColorForm* EditOneColorForm;
