#pragma once
// The borderless hint box that the spot list places next to the mouse.
#include "framework/Forms.h"

class THintForm : public TForm {
public:
    explicit THintForm(TComponent* AOwner);
    TPanel* Panel;
};
extern THintForm* HintForm;
