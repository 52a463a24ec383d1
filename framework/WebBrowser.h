#pragma once
#include "Control.h"

// The help browser: there is no web engine. Navigate records the address,
// shows it as a link and opens it through Dialogs().OpenUrl.
class TWebBrowser : public TControl {
public:
    TWebBrowser(TComponent* AOwner, TControl* AParent);
    void Navigate(const QString& address);
    QString LocationURL() const { return location; }
    QStringList History() const { return history; }
private:
    QString location;
    QStringList history;
};
