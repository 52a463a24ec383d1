#pragma once
// The lichen matches window: the results of the lichen searches over the
// main window's selected substances ("Substances:" / "Lichens:" groups). The
// searches fill LichenListBox and show the window; it never fills it itself.
#include "framework/Forms.h"

#include <functional>

class TLichenMatchesForm : public TForm {
public:
    explicit TLichenMatchesForm(TComponent* AOwner);

    TListBox* LichenListBox;   // owner-drawn, header lines shaded
    TRadioGroup* MatchRadio;   // "Exact" (0), "Inexact" (1)
    TButton* CloseButton;

    void CloseButtonClick(TObject* Sender);
    void MatchRadioClick(TObject* Sender);
    void LichenListBoxDrawItem(TObject* Control, int Index, const QRect& Rect, TOwnerDrawState State);
    void LichenListBoxDblClick(TObject* Sender);
};

extern TLichenMatchesForm* LichenMatchesForm;

// Opens one lichen in the one-lichen window; wired at start-up to ShowLichen.
// Empty: a double-clicked lichen opens nothing.
extern std::function<void(const QString& lichen)> LichenMatchesOpenLichen;

// Opens one substance in the record window; wired at start-up to
// ShowSubstanceRecord. Empty: a double-clicked substance opens nothing.
extern std::function<void(const QString& substance)> LichenMatchesOpenSubstance;
