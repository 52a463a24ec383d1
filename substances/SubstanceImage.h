#pragma once
// The substance's pictures from the portal's glossary page: up to four
// thumbnails and one large image, with the full-screen view. Filled by the
// record windows' Panel1Click (ViewRecord.h).
#include "framework/Framework.h"

#include <array>

class TSubstanceImageForm : public TForm {
public:
    explicit TSubstanceImageForm(TComponent* AOwner);

    TLabel* Label1;
    TImage* Image1;
    TButton* CloseButton;
    TButton* FullScreenButton;

    // Created by the constructor, Tag i, owned by and placed on the window.
    std::array<TPanel*, 4> ThumbnailPanels{};
    std::array<TImage*, 4> ThumbnailImages{};

    void ChoosePanel(TObject* Sender);
    void CloseButtonClick(TObject* Sender);
    void FullScreenButtonClick(TObject* Sender);
    void Image1DblClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // Whether thumbnail i carries its frame (the chosen one does).
    bool ThumbnailFramed(int i) const { return i >= 0 && i < 4 && framed[i]; }

private:
    void SetFramed(int i, bool on);
    std::array<bool, 4> framed{true, true, true, true};
};

extern TSubstanceImageForm* SubstanceImageForm;
