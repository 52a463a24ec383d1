#pragma once
// One picture as large as the screen allows; callers set Image1's picture.
#include "framework/Forms.h"

class TFullScreenImageForm : public TForm {
public:
    explicit TFullScreenImageForm(TComponent* AOwner);
    TImage* Image1;
    TPanel* Panel1;
    TButton* CloseButton;
    void CloseButtonClick(TObject* Sender);
    void Image1DblClick(TObject* Sender);
};
extern TFullScreenImageForm* FullScreenImageForm;
