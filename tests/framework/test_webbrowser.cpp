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

#include <functional>
#include <memory>

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
        WriteFile(Path("site/style.css"), "h1 { color: #00ff00; }");
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
                    "Only web (http, https) and file addresses"}),
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

} // namespace
