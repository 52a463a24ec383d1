#include "WebBrowser.h"
#include "Dialogs.h"
#include "NetHTTP.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextBrowser>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The text view that asks its control for every picture and style sheet a
// page names.
class TBrowserView : public QTextBrowser {
public:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (!browser || name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0)
            return QTextBrowser::loadResource(type, name);
        // Empty bytes, never an empty answer, for what could not be loaded:
        // with nothing, the document would read file addresses itself,
        // unbounded, and ask again at every drawing; with bytes it keeps the
        // answer while the page is shown.
        TWebResource resource = browser->Load(name);
        return QVariant(resource.Ok ? resource.Data : QByteArray());
    }
    TWebBrowser* browser = nullptr;
};

bool IsWeb(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

int DefaultPort(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1;
}

// The address with its path's dot segments resolved.
QUrl Normalized(const QUrl& url) { return url.adjusted(QUrl::NormalizePathSegments); }

QUrl FolderOf(const QUrl& url)
{
    return Normalized(url).adjusted(QUrl::RemoveFilename | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

bool InFolder(const QUrl& url, const QUrl& folder)
{
    if (folder.isEmpty()) return false;
    const QUrl u = Normalized(url);
    return u.scheme().compare(folder.scheme(), Qt::CaseInsensitive) == 0
        && u.host().compare(folder.host(), Qt::CaseInsensitive) == 0
        && u.port(DefaultPort(u)) == folder.port(DefaultPort(folder))
        && u.path().startsWith(folder.path());
}

TWebResource Failure(const QString& reason) { return {false, {}, reason, {}}; }

TWebResource FetchWeb(const QUrl& url, int connectionTimeout, int deadline)
{
    TNetHTTPRequest request;
    request.ConnectionTimeout = connectionTimeout;
    request.TotalTimeoutMs = deadline;
    request.MaxBodyBytes = TWebBrowser::MaxResourceBytes;
    request.IsTextRequest = true;   // an answer other than 2xx: an empty body and its status
    QString error;
    request.OnRequestError = [&](TNetHTTPRequest*, const QString& e) { error = e; };
    const QString address = url.adjusted(QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
    QByteArray body = request.Get(address);
    const int status = request.LastStatusCode();
    if (!error.isEmpty()) {
        // The client's words without the address, which the page names already.
        const QString prefix = QStringLiteral("Error getting %1: ").arg(address);
        if (error.startsWith(prefix)) error = error.mid(prefix.size());
        if (status == 0)
            return Failure(QStringLiteral("No answer from the site; is the computer connected to the internet? (%1)").arg(error));
        return Failure(error);
    }
    if (status == 404 || status == 410)
        return Failure(QStringLiteral("Not found: the site has no page at this address (status %1).").arg(status));
    if (status < 200 || status > 299)
        return Failure(QStringLiteral("The site answered with status %1.").arg(status));
    return {true, body, {}, QUrl(request.LastUrl())};
}

QString TooLarge(const QString& path)
{
    return QStringLiteral("The file %1 is larger than %2 MiB.").arg(path).arg(TWebBrowser::MaxResourceBytes >> 20);
}

// Only a regular file inside the site's folder, and only up to the size
// bound: a page may name a device, a FIFO or a file anywhere on the disk.
TWebResource ReadLocalFile(const QUrl& url, const QUrl& site)
{
    const QString path = url.toLocalFile();
    const QFileInfo info(path);
    if (!info.exists()) return Failure(QStringLiteral("Not found: there is no file %1.").arg(path));
    if (info.isDir()) return Failure(QStringLiteral("%1 is a folder, not a page.").arg(path));
    // Compared after links and ".." are followed, so neither leads out.
    QString folder = QFileInfo(site.toLocalFile()).canonicalFilePath();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    const QString real = info.canonicalFilePath();
    if (folder.isEmpty() || !real.startsWith(folder))
        return Failure(QStringLiteral("The file %1 is outside the site's folder.").arg(path));
    // Opened without waiting and checked on the open file: a FIFO would
    // block the window, a device never ends.
    const int fd = ::open(QFile::encodeName(real).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failure(QStringLiteral("The file %1 cannot be read: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Failure(QStringLiteral("%1 is not a regular file.").arg(path));
    }
    if (st.st_size > TWebBrowser::MaxResourceBytes) {
        ::close(fd);
        return Failure(TooLarge(path));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure(QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()));
    }
    // One byte more than allowed tells a file that grew since.
    QByteArray data = file.read(TWebBrowser::MaxResourceBytes + 1);
    if (data.size() > TWebBrowser::MaxResourceBytes) return Failure(TooLarge(path));
    if (file.error() != QFileDevice::NoError)
        return Failure(QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()));
    return {true, data, {}, url};
}

QString DecodeHtml(const QByteArray& data)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder(data);
}

QString MessagePage(const QUrl& url, const QString& address, const QString& reason)
{
    return QStringLiteral("<html><body><h2>This page cannot be shown</h2>"
                          "<p><a href=\"%1\">%2</a></p><p>%3</p></body></html>")
        .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), address.toHtmlEscaped(), reason.toHtmlEscaped());
}

} // namespace

TWebBrowser::TWebBrowser(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new TBrowserView)
{
    auto* view = static_cast<TBrowserView*>(widget.data());
    view->browser = this;
    view->setOpenLinks(false);   // every link goes through LinkActivated
    view->setOpenExternalLinks(false);
    view->setFrameShape(QFrame::StyledPanel);
    QObject::connect(view, &QTextBrowser::anchorClicked, Context(), [this](const QUrl& link) {
        SafeCall([&] { LinkActivated(link); });
    });
}

QTextBrowser* TWebBrowser::Browser() const { return static_cast<QTextBrowser*>(widget.data()); }

void TWebBrowser::Navigate(const QString& address)
{
    QUrl url(address);
    if (url.scheme().isEmpty() && QFileInfo(address).isAbsolute()) url = QUrl::fromLocalFile(address);
    site = FolderOf(url);
    ShowPage(url, address);
}

void TWebBrowser::LinkActivated(const QUrl& link)
{
    const QUrl target = shown.resolved(link);
    if (!InFolder(target, site)) {
        Dialogs().OpenUrl(target.toString());
        return;
    }
    ShowPage(target, target.toString());
}

TWebResource TWebBrowser::Load(const QUrl& address)
{
    const QUrl url = shown.resolved(address);
    if (url.isLocalFile()) {
        if (!site.isLocalFile()) return Failure(QStringLiteral("A web page cannot name files on this computer."));
        return ReadLocalFile(url, site);
    }
    if (!IsWeb(url)) return Failure(QStringLiteral("Only web (http, https) and file addresses can be shown here."));
    if (site.isLocalFile()) return Failure(QStringLiteral("A page on this computer names only files of its own folder."));
    if (InternetAllowed && !InternetAllowed())
        return Failure(QStringLiteral("The program's internet access is switched off for this run, so the page was not fetched."));
    const qint64 left = RequestDeadline - webMilliseconds;
    if (left <= 0)
        return Failure(QStringLiteral("Not fetched: the site has used the %1 seconds a page may take.").arg(RequestDeadline / 1000.0));
    QElapsedTimer clock;
    clock.start();
    TWebResource resource = FetchWeb(url, ConnectionTimeout, int(left));
    webMilliseconds += clock.elapsed();
    return resource;
}

void TWebBrowser::ShowPage(const QUrl& url, const QString& address)
{
    location = address;
    history << address;
    shown = url;
    webMilliseconds = 0;
    TWebResource page = Load(url);
    if (page.Ok && page.Data.trimmed().isEmpty()) page = Failure(QStringLiteral("The page is empty."));
    // A redirected page names its pictures and links relative to where it
    // came from.
    if (page.Ok && page.From.isValid()) {
        shown = page.From;
        if (url.hasFragment() && !shown.hasFragment()) shown.setFragment(url.fragment());
    }
    QTextBrowser* view = Browser();
    // Pictures and style sheets are found (and cached) by their full address.
    view->document()->setBaseUrl(shown);
    view->setHtml(page.Ok ? DecodeHtml(page.Data) : MessagePage(url, address, page.Reason));
    view->document()->setBaseUrl(shown);
    if (page.Ok && url.hasFragment()) view->scrollToAnchor(url.fragment(QUrl::FullyDecoded));
}
