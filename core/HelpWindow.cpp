#include "core/HelpWindow.h"

#include "core/Settings.h"
#include "core/WebText.h"

THelpForm* HelpForm = nullptr;

QString HelpContentsPage() { return HelpSiteAddress + QStringLiteral("/Quillaspore/Contents.html"); }
QString HelpSearchConfigurationPage() { return HelpSiteAddress + QStringLiteral("/Quillaspore/SearchConfiguration.html"); }

THelpForm::THelpForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("HelpForm");
    Tag = -1;
    SetCaption(QStringLiteral("Quillaspore Help"));
    Font()->SetName(QStringLiteral("MS Sans Serif"));
    Font()->SetHeight(-11);
    SetBorderStyle(bsSizeable);
    SetClientWidth(691);
    SetClientHeight(598);
    SetConstraints({300, 200, 0, 0});

    WebBrowser = new TWebBrowser(this, this);
    WebBrowser->Name = QStringLiteral("WebBrowser");
    WebBrowser->Tag = -1;
    WebBrowser->SetBounds(24, 16, 649, 521);
    // A help site on the web is not fetched once the user has switched the
    // internet off; a failed page is told in the window, never by the
    // disable-internet question.
    WebBrowser->InternetAllowed = [] { return InternetEnabled; };

    CloseButton = new TButton(this, this);
    CloseButton->Name = QStringLiteral("CloseButton");
    CloseButton->SetBounds(144, 558, 89, 33);
    CloseButton->SetCaption(QStringLiteral("Close"));
    CloseButton->SetCancel(true);
    CloseButton->Font()->SetName(QStringLiteral("MS Sans Serif"));
    CloseButton->Font()->SetHeight(-13);
    CloseButton->OnClick = Bind(this, &THelpForm::CloseButtonClick);

    ContentsButton = new TButton(this, this);
    ContentsButton->Name = QStringLiteral("ContentsButton");
    ContentsButton->SetBounds(384, 557, 89, 33);
    ContentsButton->SetCaption(QStringLiteral("Contents"));
    ContentsButton->Font()->SetName(QStringLiteral("MS Sans Serif"));
    ContentsButton->Font()->SetHeight(-13);
    ContentsButton->OnClick = Bind(this, &THelpForm::ContentsButtonClick);

    OnResize = Bind(this, &THelpForm::FormResize);
    SetPosition(poMainFormCenter);
}

void THelpForm::FormResize(TObject* Sender)
{
    int w = Width(), h = Height();
    WebBrowser->SetBounds(WebBrowser->Left(), WebBrowser->Top(), w - 70, h - 140);
    CloseButton->SetBounds((2 * w) / 3 - 45, h - 90, CloseButton->Width(), CloseButton->Height());
    ContentsButton->SetBounds(w / 3 - 45, h - 90, ContentsButton->Width(), ContentsButton->Height());
}

void THelpForm::CloseButtonClick(TObject* Sender) { Close(); }

void THelpForm::ContentsButtonClick(TObject* Sender) { WebBrowser->Navigate(HelpContentsPage()); }
