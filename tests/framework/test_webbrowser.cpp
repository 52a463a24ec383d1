// The browser control: pages from disk and from a web server drawn with their
// style sheet and pictures, links followed inside the site and handed to the
// desktop outside it, and a page of its own for every page that cannot be
// loaded.
#include "support/BrowserLinks.h"
#include "support/FakeHttpServer.h"
#include "support/ScriptedDialogs.h"
#include "framework/Framework.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

class TBrowserForm : public TForm {
public:
    explicit TBrowserForm(TComponent* owner) : TForm(owner)
    {
        Name = "BrowserForm";
        SetClientWidth(640);
        SetClientHeight(480);
        Browser = new TWebBrowser(this, this);
        Browser->SetBounds(0, 0, 640, 480);
    }
    TWebBrowser* Browser;
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray GreenHeadings = "h1 { color: #00ff00; }";

QByteArray RedPicture()
{
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    return png;
}

// A small site in a folder "site" of a temporary folder, reachable as files
// and through the fake server.
class WebBrowserTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WriteFile(Path("site/a.html"),
                  "<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"></head><body>"
                  "<h1>Page A</h1><p><img src=\"red.png\" width=\"40\" height=\"40\"></p>"
                  "<p><a href=\"b.html\">to B</a></p><p><a href=\"b.html#end\">to the end of B</a></p>"
                  "<p><a href=\"sub/c.html\">to C</a></p><p><a href=\"../outside.html\">up and out</a></p>"
                  "<p><a href=\"https://example.org/x\">elsewhere</a></p></body></html>");
        WriteFile(Path("site/style.css"), GreenHeadings);
        WriteFile(Path("site/red.png"), RedPicture());
        WriteFile(Path("site/b.html"), "<html><body><h1>Page B</h1><p><a name=\"end\"></a>End of B</p></body></html>");
        WriteFile(Path("site/sub/c.html"), "<html><body><h1>Page C</h1></body></html>");
        WriteFile(Path("site/empty.html"), "  \n");
        WriteFile(Path("outside.html"), "<html><body><h1>Outside</h1></body></html>");
        server.RoutePrefix("/", [this](const QString& target) {
            const QString path = Path(target.mid(1));
            QFile f(path);
            if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) return FakeResponse::Status(404, "Not here");
            const QByteArray type = path.endsWith(".png") ? "image/png"
                                    : path.endsWith(".css") ? "text/css" : "text/html; charset=utf-8";
            return FakeResponse::Ok(f.readAll(), type);
        });
        form = std::make_unique<TBrowserForm>(nullptr);
        form->Show();
    }

    QString Path(const QString& relative) const { return dir.filePath(relative); }
    QString FileAddress(const QString& relative) const { return QUrl::fromLocalFile(Path(relative)).toString(); }
    QString Address(bool web, const QString& relative) const
    {
        return web ? server.Url("/" + relative) : FileAddress(relative);
    }

    // Files a page should never read, made at `relative`, which they return.
    QString Fifo(const QString& relative) const
    {
        QDir().mkpath(QFileInfo(Path(relative)).absolutePath());
        EXPECT_EQ(::mkfifo(QFile::encodeName(Path(relative)).constData(), 0600), 0);
        return relative;
    }
    // `start` and then spaces, one byte more than the browser reads.
    QString OverTheCap(const QString& relative, const QByteArray& start) const
    {
        WriteFile(Path(relative), start + QByteArray(TWebBrowser::MaxResourceBytes + 1 - start.size(), ' '));
        return relative;
    }
    // A link to `target` (relative to the temporary folder).
    QString Link(const QString& relative, const QString& target) const
    {
        QDir().mkpath(QFileInfo(Path(relative)).absolutePath());
        EXPECT_TRUE(QFile::link(Path(target), Path(relative)));
        return relative;
    }

    // site/names.html: a heading "Naming", a style sheet and a picture.
    void WriteNamingPage(const QString& styleSheet, const QString& picture) const
    {
        WriteFile(Path("site/names.html"), "<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\""
                                               + styleSheet.toUtf8() + "\"></head><body><h1>Naming</h1><p><img src=\""
                                               + picture.toUtf8() + "\"></p></body></html>");
    }

    QTextBrowser* View() const { return form->Browser->Browser(); }
    QString Text() const { return View()->toPlainText(); }

    // The colour the first text block that reads `text` is drawn in.
    QColor TextColour(const QString& text) const
    {
        const QTextCursor c = View()->document()->find(text);
        if (c.isNull()) return {};
        return c.charFormat().foreground().color();
    }

    int RedPixels() const
    {
        QApplication::processEvents();
        const QImage shot = View()->viewport()->grab().toImage();
        int red = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixelColor(x, y) == QColor(255, 0, 0)) ++red;
        return red;
    }

    QTemporaryDir dir;
    FakeHttpServer server;
    std::unique_ptr<TBrowserForm> form;
};

class WebBrowserPages : public WebBrowserTest, public ::testing::WithParamInterface<bool> {};

TEST_P(WebBrowserPages, PageShownWithItsStyleSheetAndPicture)
{
    const bool web = GetParam();
    const QString a = Address(web, "site/a.html");
    form->Browser->Navigate(a);
    EXPECT_TRUE(Text().contains("Page A"));
    EXPECT_EQ(TextColour("Page A"), QColor(0, 255, 0));
    EXPECT_GE(RedPixels(), 36 * 36);
    EXPECT_EQ(form->Browser->LocationURL(), a);
    EXPECT_EQ(form->Browser->History(), QStringList({a}));
    if (web) {
        const QStringList requests = server.Requests();
        EXPECT_TRUE(requests.contains("/site/a.html"));
        EXPECT_TRUE(requests.contains("/site/style.css"));
        EXPECT_TRUE(requests.contains("/site/red.png"));
    }
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_P(WebBrowserPages, LinksInTheSiteOpenHereOthersGoToTheDesktop)
{
    const bool web = GetParam();
    const QString a = Address(web, "site/a.html");
    form->Browser->Navigate(a);
    ASSERT_TRUE(ClickLink(View(), "to B"));
    EXPECT_EQ(form->Browser->LocationURL(), Address(web, "site/b.html"));
    EXPECT_TRUE(Text().contains("Page B"));
    EXPECT_EQ(form->Browser->History(), QStringList({a, Address(web, "site/b.html")}));

    // A page in a folder below the site's belongs to the site.
    form->Browser->Navigate(a);
    ASSERT_TRUE(ClickLink(View(), "to C"));
    EXPECT_EQ(form->Browser->LocationURL(), Address(web, "site/sub/c.html"));
    EXPECT_TRUE(Text().contains("Page C"));

    form->Browser->Navigate(a);
    ASSERT_TRUE(ClickLink(View(), "to the end of B"));
    EXPECT_EQ(form->Browser->LocationURL(), Address(web, "site/b.html") + "#end");
    EXPECT_TRUE(Text().contains("End of B"));

    // Above the site's folder and on another host: the desktop's browser.
    form->Browser->Navigate(a);
    ASSERT_TRUE(ClickLink(View(), "up and out"));
    ASSERT_TRUE(ClickLink(View(), "elsewhere"));
    EXPECT_EQ(TestDialogs().OpenedUrls(), QStringList({Address(web, "outside.html"), "https://example.org/x"}));
    EXPECT_EQ(form->Browser->LocationURL(), a);
    EXPECT_TRUE(Text().contains("Page A"));
}

INSTANTIATE_TEST_SUITE_P(FileAndWeb, WebBrowserPages, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Web" : "File"; });

struct FailureCase {
    const char* name;
    // The address to navigate to (the test's folder and server at hand).
    std::function<QString(WebBrowserTest&)> address;
    bool internetAllowed;
    const char* reason;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class WebBrowserFailures : public WebBrowserTest, public ::testing::WithParamInterface<FailureCase> {};

// Each failure is told on a page of its own, with the address as a link;
// nothing is asked and nothing opens elsewhere.
TEST_P(WebBrowserFailures, ShowTheAddressAndWhy)
{
    const FailureCase& c = GetParam();
    const QString address = c.address(*this);
    form->Browser->InternetAllowed = [&] { return c.internetAllowed; };
    form->Browser->Navigate(address);
    const QString text = Text();
    EXPECT_TRUE(text.contains("This page cannot be shown")) << text.toStdString();
    EXPECT_TRUE(text.contains(address)) << text.toStdString();
    EXPECT_TRUE(text.contains(c.reason)) << text.toStdString();
    EXPECT_EQ(form->Browser->LocationURL(), address);
    const QPoint link = LinkPosition(View(), address);
    ASSERT_GE(link.x(), 0);
    EXPECT_EQ(QUrl(View()->anchorAt(link)), QUrl(address));
    if (!c.internetAllowed) {
        EXPECT_TRUE(server.Requests().isEmpty());
    }
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_TRUE(TestDialogs().OpenedUrls().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WebBrowserFailures,
    ::testing::Values(
        FailureCase{"MissingFile", [](WebBrowserTest& t) { return t.FileAddress("site/missing.html"); }, true,
                    "Not found: there is no file"},
        FailureCase{"EmptyPage", [](WebBrowserTest& t) { return t.FileAddress("site/empty.html"); }, true,
                    "The page is empty."},
        FailureCase{"NotOnTheServer", [](WebBrowserTest& t) { return t.Address(true, "site/missing.html"); }, true,
                    "Not found: the site has no page at this address (status 404)."},
        FailureCase{"ServerRefuses", [](WebBrowserTest&) { return FakeHttpServer::RefusedAddress() + "site/a.html"; },
                    true, "No answer from the site"},
        FailureCase{"InternetSwitchedOff", [](WebBrowserTest& t) { return t.Address(true, "site/a.html"); }, false,
                    "internet access is switched off"},
        FailureCase{"NoWebAddress", [](WebBrowserTest&) { return QString("ftp://example.org/a.html"); }, true,
                    "Only web (http, https) and file addresses"},
        // Pages that would end the program, freeze it or read the whole disk.
        FailureCase{"Device", [](WebBrowserTest&) { return QUrl::fromLocalFile("/dev/zero").toString(); }, true,
                    "is not a regular file"},
        FailureCase{"Fifo", [](WebBrowserTest& t) { return t.FileAddress(t.Fifo("site/pipe.html")); }, true,
                    "is not a regular file"},
        FailureCase{"FileOverTheCap", [](WebBrowserTest& t) { return t.FileAddress(t.OverTheCap("site/huge.html", "<html>")); },
                    true, "is larger than 4 MiB"},
        FailureCase{"LinkOutOfTheSite", [](WebBrowserTest& t) { return t.FileAddress(t.Link("site/link.html", "outside.html")); },
                    true, "is outside the site's folder"},
        FailureCase{"WebPageOverTheCap", [](WebBrowserTest& t) {
                        t.server.Route("/site/huge.html", FakeResponse::Ok(QByteArray(TWebBrowser::MaxResourceBytes + 1, 'x')));
                        return t.Address(true, "site/huge.html");
                    }, true, "too large"}),
    [](const auto& info) { return std::string(info.param.name); });

// A page the server moved: its style sheet, picture and links are found
// from where it came from.
TEST_F(WebBrowserTest, RedirectedPageKeepsItsPicturesAndLinks)
{
    server.Route("/moved.html", FakeResponse::Redirect("/site/a.html"));
    form->Browser->Navigate(server.Url("/moved.html"));
    EXPECT_TRUE(Text().contains("Page A"));
    EXPECT_EQ(TextColour("Page A"), QColor(0, 255, 0));
    EXPECT_GE(RedPixels(), 36 * 36);
    ASSERT_TRUE(ClickLink(View(), "to B"));
    EXPECT_TRUE(Text().contains("Page B"));
    EXPECT_EQ(form->Browser->LocationURL(), server.Url("/site/b.html"));
}

// The address on the message page is a link: once the page exists, a click
// on it shows the page.
TEST_F(WebBrowserTest, TheAddressOfAMissingPageTriesAgain)
{
    const QString address = FileAddress("site/later.html");
    form->Browser->Navigate(address);
    ASSERT_TRUE(Text().contains("Not found"));
    WriteFile(Path("site/later.html"), "<html><body><h1>Here now</h1></body></html>");
    ASSERT_TRUE(ClickLink(View(), address));
    EXPECT_TRUE(Text().contains("Here now"));
    EXPECT_EQ(form->Browser->LocationURL(), address);
    EXPECT_TRUE(TestDialogs().OpenedUrls().isEmpty());
}

struct NamedFile {
    const char* name;
    // Makes what a page names as its style sheet (true) or its picture
    // (false) and gives the address the page uses for it.
    std::function<QString(WebBrowserTest&, bool styleSheet)> make;
};

void PrintTo(const NamedFile& c, std::ostream* os) { *os << c.name; }

class WebBrowserNamedFiles : public WebBrowserTest, public ::testing::WithParamInterface<NamedFile> {};

// A page on disk naming what it must not read as its style sheet and its
// picture is shown without them: no crash, no frozen window, no question.
// Where the file holds a real style sheet and picture, they would show if
// read.
TEST_P(WebBrowserNamedFiles, PageShownWithoutThem)
{
    const QString css = GetParam().make(*this, true);
    const QString png = GetParam().make(*this, false);
    WriteNamingPage(css, png);
    form->Browser->Navigate(FileAddress("site/names.html"));
    EXPECT_TRUE(Text().contains("Naming"));
    EXPECT_NE(TextColour("Naming"), QColor(0, 255, 0));
    EXPECT_EQ(RedPixels(), 0);
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

// A style sheet and a picture that would show if read.
QByteArray Visible(bool styleSheet) { return styleSheet ? GreenHeadings : RedPicture(); }
QString Named(bool styleSheet, const char* base) { return QString(base) + (styleSheet ? ".css" : ".png"); }

INSTANTIATE_TEST_SUITE_P(
    Cases, WebBrowserNamedFiles,
    ::testing::Values(
        NamedFile{"Device", [](WebBrowserTest&, bool) { return QString("file:///dev/zero"); }},
        NamedFile{"Fifo", [](WebBrowserTest& t, bool css) { return t.FileAddress(t.Fifo(Named(css, "site/pipe"))); }},
        NamedFile{"OverTheCap", [](WebBrowserTest& t, bool css) {
                      t.OverTheCap(Named(css, "site/huge"), Visible(css));
                      return Named(css, "huge");
                  }},
        NamedFile{"AboveTheSite", [](WebBrowserTest& t, bool css) {
                      WriteFile(t.Path(Named(css, "outside")), Visible(css));
                      return Named(css, "../outside");
                  }},
        NamedFile{"LinkOutOfTheSite", [](WebBrowserTest& t, bool css) {
                      WriteFile(t.Path(Named(css, "outside")), Visible(css));
                      t.Link(Named(css, "site/out"), Named(css, "outside"));
                      return Named(css, "out");
                  }},
        NamedFile{"WebFromADiskPage", [](WebBrowserTest& t, bool css) {
                      return t.Address(true, css ? "site/style.css" : "site/red.png");
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

// A web page that names this computer's files (a style sheet and a picture
// that would show) is shown without them; only the page is asked for.
TEST_F(WebBrowserTest, WebPageReadsNoFilesOfThisComputer)
{
    WriteNamingPage(FileAddress("site/style.css"), FileAddress("site/red.png"));
    form->Browser->Navigate(Address(true, "site/names.html"));
    EXPECT_TRUE(Text().contains("Naming"));
    EXPECT_NE(TextColour("Naming"), QColor(0, 255, 0));
    EXPECT_EQ(RedPixels(), 0);
    EXPECT_EQ(server.Requests(), QStringList({"/site/names.html"}));
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

// A picture that cannot be loaded is asked for once while its page is shown,
// however often the page is drawn; shown again, the page asks once more.
TEST_F(WebBrowserTest, MissingPictureAskedForOncePerPage)
{
    WriteFile(Path("site/gap.html"), "<html><body><h1>Gap</h1><p><img src=\"missing.png\"></p></body></html>");
    const QString page = Address(true, "site/gap.html");
    form->Browser->Navigate(page);
    for (int i = 0; i < 20; ++i) {
        View()->viewport()->repaint();
        View()->viewport()->grab();
    }
    EXPECT_TRUE(Text().contains("Gap"));
    EXPECT_EQ(server.Requests().count("/site/missing.png"), 1);
    form->Browser->Navigate(page);
    View()->viewport()->grab();
    EXPECT_EQ(server.Requests().count("/site/missing.png"), 2);
}

// A server on 127.0.0.1 that answers "/page.html" at once and every other
// address one byte each tenth of a second: quick enough for the client's
// stall rule, far too slow for a help page.
class TricklingServer {
public:
    explicit TricklingServer(const QByteArray& page) : page(page)
    {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(::listen(listener, 8), 0);
        socklen_t len = sizeof addr;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
        thread = std::thread([this] { Run(); });
    }
    ~TricklingServer()
    {
        stopping = true;
        thread.join();
        ::close(listener);
    }
    QString Url(const QString& target) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(target); }
    int Requests() const { return requests; }

private:
    void Run()
    {
        while (!stopping) {
            pollfd p{listener, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            Serve(fd);
            ::close(fd);
        }
    }
    void Serve(int fd)
    {
        QByteArray request;
        char buf[4096];
        while (!request.contains("\r\n\r\n")) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return;
            request.append(buf, n);
        }
        ++requests;
        const bool whole = request.startsWith("GET /page.html ");
        // If the client kept waiting, a page would arrive in the end.
        const QByteArray body = whole ? page : QByteArray("<html><body><h1>Arrived</h1></body></html>");
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
                                + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
        if (!Send(fd, head) || (whole && !Send(fd, body))) return;
        for (qsizetype i = 0; !whole && i < body.size() && !stopping; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!Send(fd, body.mid(i, 1))) return;   // the client gave up
        }
    }
    static bool Send(int fd, const QByteArray& bytes) { return ::send(fd, bytes.constData(), bytes.size(), MSG_NOSIGNAL) == bytes.size(); }

    QByteArray page;
    int listener = -1;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::atomic<int> requests{0};
    std::thread thread;
};

// A page that trickles in ends at the deadline with the message page; pictures
// that trickle end within the same deadline, the page shown without them: the
// second is not asked for once the first has used the page's time. (The test
// shortens the deadline.)
TEST_F(WebBrowserTest, TricklingServerEndsAtTheDeadline)
{
    TricklingServer slow("<html><body><h1>Quick page</h1><p><img src=\"one.png\"></p><p><img src=\"two.png\"></p></body></html>");
    form->Browser->RequestDeadline = 1000;

    form->Browser->Navigate(slow.Url("/slow.html"));
    EXPECT_TRUE(Text().contains("This page cannot be shown")) << Text().toStdString();
    EXPECT_TRUE(Text().contains("timed out")) << Text().toStdString();
    EXPECT_EQ(slow.Requests(), 1);

    form->Browser->Navigate(slow.Url("/page.html"));
    for (int i = 0; i < 5; ++i) View()->viewport()->grab();
    EXPECT_TRUE(Text().contains("Quick page")) << Text().toStdString();
    EXPECT_EQ(slow.Requests(), 3);   // the two pages and one picture
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

} // namespace
