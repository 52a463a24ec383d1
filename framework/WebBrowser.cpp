#include "WebBrowser.h"
#include "Dialogs.h"

#include <QLabel>

// ---------------------------------------------------------------- TWebBrowser

TWebBrowser::TWebBrowser(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QLabel)
{
    auto* l = static_cast<QLabel*>(widget.data());
    l->setTextFormat(Qt::RichText);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    l->setFrameShape(QFrame::StyledPanel);
    QObject::connect(l, &QLabel::linkActivated, Context(), [](const QString& link) {
        SafeCall([&] { Dialogs().OpenUrl(link); });
    });
}

void TWebBrowser::Navigate(const QString& address)
{
    location = address;
    history << address;
    auto* l = static_cast<QLabel*>(widget.data());
    l->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), address.toHtmlEscaped()));
    Dialogs().OpenUrl(address);
}
