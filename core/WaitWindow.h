#pragma once
// The wait window shown with a text and a progress bar during long work.
// Callers set its texts and position, and hide it on every way out of their
// work (also when an exception ends it).
#include "framework/Forms.h"

class TWaitForm : public TForm {
public:
    explicit TWaitForm(TComponent* AOwner);
    TLabel* Label1;
    TProgressBar* ProgressBar1;
};
extern TWaitForm* WaitForm;

// Shows WaitForm with the text, centred horizontally over owner (Top is
// kept), and lets pending events run once (user input is not delivered).
// Never hides it.
void ShowWait(const QString& text, TControl* owner);
