// The help window with the pages shipped with the program: each page drawn
// in the window, its links between the pages followed by a click, the
// Contents and Close buttons, the Help commands of the menu bars, a help site
// that cannot be reached told in the window, and how the shipped pages are
// found.
#include "all_windows_kit.h"
#include "core/HelpWindow.h"
#include "support/BrowserLinks.h"
#include "support/FileBytes.h"
#include "support/ScriptedDialogs.h"

#include "config/SearchConfig.h"

#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include <functional>
#include <memory>

namespace {

QTextBrowser* HelpView() { return HelpForm->WebBrowser->Browser(); }
QString HelpText() { return HelpView()->toPlainText(); }

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettings();
        InternetEnabled = true;
        Application->CreateForm(HelpForm);
        help.reset(HelpForm);
        HelpForm->Show();
    }
    void TearDown() override
    {
        help.reset();
        HelpForm = nullptr;
        ResetSettings();
        InternetEnabled = true;
    }
    std::unique_ptr<THelpForm> help;
};

struct ShippedPage {
    const char* name;
    std::function<QString()> address;
    const char* heading;
};

class ShippedHelpPages : public HelpWindowTest, public ::testing::WithParamInterface<ShippedPage> {};

// Each page is drawn from the shipped files with its style sheet, and every
// link between the pages leads to a page and a place that exist.
TEST_P(ShippedHelpPages, ShownWithWorkingLinks)
{
    const ShippedPage& page = GetParam();
    HelpForm->WebBrowser->Navigate(page.address());
    EXPECT_TRUE(HelpText().startsWith(page.heading)) << HelpText().left(200).toStdString();
    const QTextCursor heading = HelpView()->document()->find(page.heading);
    ASSERT_FALSE(heading.isNull());
    EXPECT_EQ(heading.charFormat().foreground().color(), QColor(0x2e, 0x5b, 0x34));   // from Help.css

    const QUrl here(page.address());
    const QStringList targets = LinkTargets(HelpView());
    EXPECT_GE(targets.size(), 5);
    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        const QUrl url = here.resolved(QUrl(target));
        ASSERT_TRUE(url.isLocalFile());
        const QString file = url.toLocalFile();
        ASSERT_TRUE(QFileInfo(file).isFile());
        EXPECT_EQ(QFileInfo(file).absolutePath(), QFileInfo(here.toLocalFile()).absolutePath());
        if (url.hasFragment()) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_TRUE(f.readAll().contains(("name=\"" + url.fragment() + "\"").toUtf8()));
        }
    }
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ShippedHelpPages,
    ::testing::Values(ShippedPage{"Contents", [] { return HelpContentsPage(); }, "Quillaspore Help"},
                      ShippedPage{"SearchConfiguration", [] { return HelpSearchConfigurationPage(); },
                                  "The search configuration window"}),
    [](const auto& info) { return std::string(info.param.name); });

// A click on a link between the pages opens the other page in the window;
// the Contents button (clicked) goes back; Esc in the page closes the window
// and keeps the page.
TEST_F(HelpWindowTest, LinksContentsButtonAndEsc)
{
    HelpForm->WebBrowser->Navigate(HelpContentsPage());
    ASSERT_TRUE(ClickLink(HelpView(), "The search configuration window"));
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpSearchConfigurationPage());
    EXPECT_TRUE(HelpText().startsWith("The search configuration window"));

    ASSERT_TRUE(ClickLink(HelpView(), "Back to the contents"));
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpContentsPage());
    EXPECT_TRUE(HelpText().startsWith("Quillaspore Help"));
    EXPECT_EQ(HelpForm->WebBrowser->History(),
              QStringList({HelpContentsPage(), HelpSearchConfigurationPage(), HelpContentsPage()}));

    ASSERT_TRUE(ClickLink(HelpView(), "The search configuration window"));
    QTest::mouseClick(HelpForm->ContentsButton->Widget(), Qt::LeftButton);
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpContentsPage());
    EXPECT_TRUE(HelpText().startsWith("Quillaspore Help"));

    HelpView()->setFocus();
    QTest::keyClick(HelpView(), Qt::Key_Escape);
    EXPECT_FALSE(HelpForm->Visible());
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpContentsPage());
    EXPECT_TRUE(TestDialogs().OpenedUrls().isEmpty());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

struct UnreachableSite {
    const char* name;
    bool internet;   // InternetEnabled
    const char* reason;
};

class UnreachableHelpSite : public HelpWindowTest, public ::testing::WithParamInterface<UnreachableSite> {};

// A help site on the web that cannot be read is told in the window. The
// disable-internet question is not asked for it, and once the user has
// switched the internet off the site is not asked at all.
TEST_P(UnreachableHelpSite, ToldInTheWindowWithoutAQuestion)
{
    const UnreachableSite& c = GetParam();
    FakeHttpServer server;   // answers 404 for every page
    const bool refused = QString(c.name) == "Refused";
    HelpSiteAddress = refused ? QStringLiteral("http://127.0.0.1:%1").arg(FakeHttpServer::RefusedPort())
                              : server.BaseAddress();
    InternetEnabled = c.internet;
    QTest::mouseClick(HelpForm->ContentsButton->Widget(), Qt::LeftButton);
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpContentsPage());
    EXPECT_TRUE(HelpText().contains("This page cannot be shown"));
    EXPECT_TRUE(HelpText().contains(HelpContentsPage()));
    EXPECT_TRUE(HelpText().contains(c.reason)) << HelpText().toStdString();
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_EQ(InternetEnabled, c.internet);
    if (!refused) {
        EXPECT_EQ(server.Requests().size(), c.internet ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Sites, UnreachableHelpSite,
                         ::testing::Values(UnreachableSite{"Refused", true, "No answer from the site"},
                                           UnreachableSite{"NotFound", true, "Not found"},
                                           UnreachableSite{"InternetOff", false, "switched off"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where the shipped pages are looked for: data/help beside the program, one
// and two folders above it, then in the current folder.
TEST(HelpFolder, FoundBesideOrAboveTheProgramOrInTheCurrentFolder)
{
    struct Case {
        const char* name;
        const char* program;   // the program's folder, below the root
        const char* current;   // the current folder, below the root
        const char* pages;     // where data/help is, below the root ("" for nowhere)
        const char* found;     // the folder expected, below the root
    };
    const Case cases[] = {
        {"beside", "app", "work", "app", "app/data/help"},
        {"run from build", "src/build", "work", "src", "src/data/help"},
        {"test program", "src/build/tests", "work", "src", "src/data/help"},
        {"current folder", "bin", "work", "work", "work/data/help"},
        {"nowhere", "src/build", "work", "", "src/data/help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QDir r(root.path());
        ASSERT_TRUE(r.mkpath(c.program));
        ASSERT_TRUE(r.mkpath(c.current));
        if (*c.pages) {
            const QString pages = r.filePath(QString(c.pages) + "/data/help/Quillaspore");
            ASSERT_TRUE(r.mkpath(pages));
            QFile contents(pages + "/Contents.html");
            ASSERT_TRUE(contents.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(FindHelpFolder(r.filePath(c.program), r.filePath(c.current)), QDir::cleanPath(r.filePath(c.found)));
    }
    // The default setting is the copy the build put beside the programs, so
    // the build folder may lie anywhere; the copy holds the source's pages.
    const QString shipped = QUrl(ShippedHelpSite()).toLocalFile();
    EXPECT_EQ(shipped, QDir::cleanPath(QStringLiteral(QS_BUILD_DIR "/data/help")));
    const QDir source(QStringLiteral(QS_SOURCE_DIR "/data/help/Quillaspore"));
    const QStringList pages = source.entryList(QDir::Files);
    EXPECT_FALSE(pages.isEmpty());
    EXPECT_EQ(QDir(shipped + "/Quillaspore").entryList(QDir::Files), pages);
    for (const QString& name : pages) {
        SCOPED_TRACE(name.toStdString());
        QFile original(source.filePath(name)), copy(shipped + "/Quillaspore/" + name);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), original.readAll());
    }
}

class HelpMenus : public AllWindows {};

// Help > Help clicked on the main window's menu bar shows the contents page;
// the search configuration window's Help menu shows its own page. A picture
// of the help window goes to the screenshots.
TEST_F(HelpMenus, HelpCommandsOfTheMenuBars)
{
    Form1->Show();
    QApplication::setActiveWindow(Form1->Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Widget()));
    QMenuBar* bar = Form1->Menu()->MenuBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(Form1->Help1->Action()).center());
    QMenu* menu = Form1->Help1->Action()->menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000));
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(Form1->Help2->Action()).center());
    QApplication::processEvents();
    EXPECT_TRUE(HelpForm->Showing());
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpContentsPage());
    EXPECT_TRUE(HelpText().startsWith("Quillaspore Help"));
    const QString shot = SaveScreenshot(HelpForm, QStringLiteral("help_window"));
    EXPECT_GT(QFileInfo(shot).size(), 0);

    SearchConfigForm->Show();
    QApplication::setActiveWindow(SearchConfigForm->Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(SearchConfigForm->Widget()));
    QMenuBar* configBar = SearchConfigForm->Menu()->MenuBar();
    QTest::mouseClick(configBar, Qt::LeftButton, Qt::NoModifier,
                      configBar->actionGeometry(SearchConfigForm->Help1->Action()).center());
    QApplication::processEvents();
    EXPECT_EQ(HelpForm->WebBrowser->LocationURL(), HelpSearchConfigurationPage());
    EXPECT_TRUE(HelpText().startsWith("The search configuration window"));
    SaveScreenshot(HelpForm, QStringLiteral("help_window_search_configuration"));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMenu")) w->hide();
}

} // namespace

// What the build does to its copy of the pages, on a copy that has drifted:
// a page edited in the source is copied again, a page removed from the source
// (also in a sub-folder) is removed from the copy, an unchanged page is left;
// a folder the source no longer has is removed from the copy, with its pages
// or empty, and one the source has is kept, also while it is empty.
TEST(HelpFolder, EachBuildMakesTheCopyTheSourcesPages)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir r(root.path());
    auto write = [&](const QString& path, const QByteArray& bytes) {
        ASSERT_TRUE(r.mkpath(QFileInfo(r.filePath(path)).path()));
        QFile f(r.filePath(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    auto read = [&](const QString& path) { return FileBytes(r.filePath(path), "(missing)"); };
    auto build = [&] {
        QProcess cmake;
        cmake.start(QStringLiteral(QS_CMAKE_COMMAND),
                    {"-DSOURCE=" + r.filePath("src"), "-DDESTINATION=" + r.filePath("copy"), "-P",
                     QStringLiteral(QS_SYNC_HELP_PAGES)});
        ASSERT_TRUE(cmake.waitForFinished(60000));
        ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
    };
    write("src/Quillaspore/Contents.html", "contents");
    write("src/Quillaspore/Old.html", "old");
    write("src/Quillaspore/Kept.html", "kept");
    write("src/Quillaspore/pictures/Plate.png", "plate");
    write("src/Quillaspore/moved/Page.html", "moved");
    ASSERT_TRUE(r.mkpath("src/Quillaspore/empty"));
    write("src/Quillaspore/Notes/Index.html", "notes");
    build();
    EXPECT_EQ(read("copy/Quillaspore/Old.html"), "old");
    EXPECT_EQ(read("copy/Quillaspore/pictures/Plate.png"), "plate");
    EXPECT_EQ(read("copy/Quillaspore/moved/Page.html"), "moved");
    EXPECT_TRUE(QFileInfo(r.filePath("copy/Quillaspore/empty")).isDir());
    const QDateTime keptTime = QFileInfo(r.filePath("copy/Quillaspore/Kept.html")).lastModified();

    ASSERT_TRUE(QFile::remove(r.filePath("src/Quillaspore/Old.html")));
    ASSERT_TRUE(QFile::remove(r.filePath("src/Quillaspore/pictures/Plate.png")));
    ASSERT_TRUE(QDir(r.filePath("src/Quillaspore/moved")).removeRecursively());
    // An empty folder of a source's earlier layout, as older builds left them.
    ASSERT_TRUE(r.mkpath("copy/Quillaspore/retired/pictures"));
    // A folder that became a page of that name.
    ASSERT_TRUE(QDir(r.filePath("src/Quillaspore/Notes")).removeRecursively());
    write("src/Quillaspore/Notes", "notes, one page");
    write("src/Quillaspore/Contents.html", "contents, edited");
    QThread::msleep(20);
    build();
    EXPECT_FALSE(QFile::exists(r.filePath("copy/Quillaspore/Old.html")));
    EXPECT_FALSE(QFile::exists(r.filePath("copy/Quillaspore/pictures/Plate.png")));
    EXPECT_TRUE(QFileInfo(r.filePath("copy/Quillaspore/pictures")).isDir());
    EXPECT_TRUE(QFileInfo(r.filePath("copy/Quillaspore/empty")).isDir());
    EXPECT_FALSE(QFileInfo::exists(r.filePath("copy/Quillaspore/retired")));
    EXPECT_FALSE(QFileInfo::exists(r.filePath("copy/Quillaspore/moved")));
    EXPECT_EQ(read("copy/Quillaspore/Notes"), "notes, one page");
    EXPECT_EQ(read("copy/Quillaspore/Contents.html"), "contents, edited");
    EXPECT_EQ(read("copy/Quillaspore/Kept.html"), "kept");
    EXPECT_EQ(QFileInfo(r.filePath("copy/Quillaspore/Kept.html")).lastModified(), keptTime);
}
