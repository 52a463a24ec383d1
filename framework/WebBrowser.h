#pragma once
// A browser control for plain HTML pages (headings, paragraphs, simple tables,
// pictures, style sheets), drawn by Qt's text browser; no web engine.
//
// Navigate loads a page by itself: http and https through TNetHTTPRequest,
// file addresses from disk; the pictures and style sheets a page names are
// loaded the same way. A page that cannot be loaded is replaced by a short
// page that names its address (as a link, to try again) and the reason.
//
// The folder of the page given to Navigate is the site: a click on a link
// into that folder (same scheme, host, port and folder) opens the page in the
// browser; any other link goes to the desktop's browser through
// Dialogs().OpenUrl.
//
// What is read is bounded, since a page may name anything and is read on the
// window's thread: a page on disk reads only regular files inside the site's
// folder (links and ".." followed first), a web page only web addresses;
// nothing larger than MaxResourceBytes is read; the web requests of one page
// end within RequestDeadline in all; and what could not be loaded is not
// asked for again while the page is shown.
#include "Control.h"

#include <QByteArray>
#include <QStringList>
#include <QUrl>
#include <functional>

class QTextBrowser;

// A page or a file that a page names, as loaded.
struct TWebResource {
    bool Ok = false;
    QByteArray Data;
    QString Reason;   // why it could not be loaded (Ok false)
    QUrl From;        // where it came from after redirects (Ok true)
};

class TWebBrowser : public TControl {
public:
    TWebBrowser(TComponent* AOwner, TControl* AParent);
    void Navigate(const QString& address);
    // The address of the page shown (also of one that could not be loaded).
    QString LocationURL() const { return location; }
    // The addresses shown, oldest first.
    QStringList History() const { return history; }
    // The folder whose pages open in the browser.
    QUrl SiteFolder() const { return site; }
    // Asked before each http or https request; false: nothing is sent and the
    // page says that the internet is switched off. Unset: always allowed.
    std::function<bool()> InternetAllowed;
    // Connection time-out of web requests, in milliseconds.
    int ConnectionTimeout = 60000;
    // The milliseconds the web requests of one page (the page, its style
    // sheets and pictures) may take in all, whatever the server sends.
    int RequestDeadline = 30000;
    // The largest page, picture or style sheet read, from disk or the web.
    static constexpr qint64 MaxResourceBytes = 4 * 1024 * 1024;
    QTextBrowser* Browser() const;

    // Framework side.
    void LinkActivated(const QUrl& link);
    // A page or a file a page names, by its address (relative ones against
    // the page shown).
    TWebResource Load(const QUrl& address);

private:
    void ShowPage(const QUrl& url, const QString& address);
    QString location;
    QStringList history;
    QUrl site;
    QUrl shown;
    // The milliseconds the web requests of the page shown took.
    qint64 webMilliseconds = 0;
};
