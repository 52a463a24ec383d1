#pragma once
// The one-lichen window: a lichen's name, its substances from the Lichens
// table and up to six photographs from the outside lichen data portal.
#include "framework/Framework.h"
#include "framework/NetHTTP.h"

#include <QByteArray>
#include <QString>
#include <array>

class TOneLichenForm : public TForm {
public:
    explicit TOneLichenForm(TComponent* AOwner);

    TLabel* LichenNameLabel = nullptr;
    TListBox* ListBox = nullptr;
    TButton* CopyButton = nullptr;
    TButton* SaveButton = nullptr;
    TImage* Image1 = nullptr;
    TLabel* FullScreenLabel = nullptr;
    TRichEdit* CBRichEdit = nullptr;
    TButton* ConsortiumButton = nullptr;
    TButton* CloseButton = nullptr;
    TButton* FullScreenButton = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Save1 = nullptr;
    TMenuItem* Close1 = nullptr;
    TMenuItem* Edit1 = nullptr;
    TMenuItem* Copy1 = nullptr;
    TNetHTTPClient NetHTTPClient1;
    TNetHTTPRequest HTTP1{&NetHTTPClient1};
    // Image downloads: no error handler, so a failed request raises.
    TNetHTTPRequest HTTP2{&NetHTTPClient1};

    // Made by the constructor below Image1; slot i has Tag i.
    std::array<TPanel*, 6> ThumbnailPanels{};
    std::array<TImage*, 6> ThumbnailImages{};

    void Save1Click(TObject* Sender);
    void SaveButtonClick(TObject* Sender);
    void Copy1Click(TObject* Sender);
    void CopyButtonClick(TObject* Sender);
    void CloseButtonClick(TObject* Sender);
    void Close1Click(TObject* Sender);
    void ConsortiumButtonClick(TObject* Sender);
    void ListBoxDblClick(TObject* Sender);
    // Full-size view of the chosen photograph (Image1 and FullScreenButton).
    void Image1DblClick(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Chooses the thumbnail whose slot is Sender's Tag.
    void ThumbnailPanelClick(TObject* Sender);

    // The image step of ShowLichen: media request, thumbnails, Image1.
    void LoadLichenImages();
};

extern TOneLichenForm* OneLichenForm;

// The portal taxon number of the lichen last looked up, as decimal digits;
// "0" offline or when the portal does not know the name; empty before the
// first lookup.
extern QString TaxonId;
// Per thumbnail slot: the image address and the full-size image address.
extern std::array<QString, 6> ImageUrls;
extern std::array<QString, 6> OriginalImageUrls;
// The slot whose image Image1 shows, -1 when none.
extern int CurrentImageIndex;

// Fills and shows OneLichenForm for the lichen (name as Lichens.Lichen holds it).
void ShowLichen(const QString& name);
// Sets TaxonId from the portal's taxonomy answer for the name.
void LookupTaxonId(const QString& name);
