#pragma once
// The help window: the program's help pages (shipped with it, see
// HelpSiteAddress) in a browser control.
#include "framework/Forms.h"

class THelpForm : public TForm {
public:
    explicit THelpForm(TComponent* AOwner);
    TWebBrowser* WebBrowser;
    TButton* CloseButton;
    TButton* ContentsButton;
    void FormResize(TObject* Sender);
    void CloseButtonClick(TObject* Sender);
    void ContentsButtonClick(TObject* Sender);
};
extern THelpForm* HelpForm;

// HelpSiteAddress + "/Quillaspore/Contents.html".
QString HelpContentsPage();
// HelpSiteAddress + "/Quillaspore/SearchConfiguration.html".
QString HelpSearchConfigurationPage();
