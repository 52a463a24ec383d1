// "CurrentSearch.cfg" and the choice of the configuration at start-up.
#include "config/SearchConfigFile.h"
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CurrentSearch, WritesTheKeyedForm)
{
    EXPECT_EQ(CurrentSearchText("C:\\Data\\Mine.scfg", 1),
              "ConfigFile: C:\\Data\\Mine.scfg\r\nMatchingMethod: 1");

    QTemporaryDir dir;
    const QString path = dir.filePath("CurrentSearch.cfg");
    ASSERT_TRUE(WriteCurrentSearchFile("/home/u/Mine.scfg", 0, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("ConfigFile: /home/u/Mine.scfg\r\nMatchingMethod: 0"));
}

TEST(CurrentSearch, ReadsTheKeyedFormOnly)
{
    struct Case {
        const char* what;
        QString text;
        std::optional<QString> file;
        std::optional<int> method;
    };
    const Case cases[] = {
        {"drive letter path and Correlation", "ConfigFile: C:\\Data\\Mine.scfg\r\nMatchingMethod: 1",
         "C:\\Data\\Mine.scfg", 1},
        {"written form reads back", CurrentSearchText("/a/b.scfg", 0), "/a/b.scfg", 0},
        {"name-only form sets nothing", "Mine", std::nullopt, std::nullopt},
        {"method other than 1 is RF Error", "MatchingMethod: 2", std::nullopt, 0},
        {"bare line feeds", "ConfigFile: x.scfg\nMatchingMethod: 1\n", "x.scfg", 1},
        {"unknown keys ignored", "Other: 1\r\nConfigFile: y.scfg", "y.scfg", std::nullopt},
        {"empty file", "", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TCurrentSearch r = ParseCurrentSearchText(c.text);
        EXPECT_EQ(r.ConfigFile, c.file);
        EXPECT_EQ(r.MatchingMethod, c.method);
    }
}

TEST(StartupChoice, EachCase)
{
    const QString defaultNotFound = " not found.  Loading default file.";
    const QString oldNotFound = " not found.  Loading old default file.";
    struct Case {
        const char* what;
        QSet<QString> files;
        std::optional<QString> current;
        std::vector<TStartupStep> steps;
        std::optional<int> method;
    };
    const Case cases[] = {
        {"Default present, no CurrentSearch.cfg", {"Default.scfg"}, std::nullopt,
         {{"Default.scfg", ""}}, 0},
        {"named file present: then the defaults as fall-backs",
         {"Default.scfg", "SearchConfigDefault.scfg", "/d/Mine.scfg"},
         CurrentSearchText("/d/Mine.scfg", 1),
         {{"/d/Mine.scfg", ""}, {"Default.scfg", ""}, {"SearchConfigDefault.scfg", ""}}, 1},
        {"named file missing, Default present", {"Default.scfg"}, CurrentSearchText("Gone.scfg", 0),
         {{"Default.scfg", "Gone.scfg" + defaultNotFound}}, 0},
        {"old default named while Default present", {"Default.scfg", "SearchConfigDefault.scfg"},
         CurrentSearchText("SearchConfigDefault.scfg", 1),
         {{"Default.scfg", ""}, {"SearchConfigDefault.scfg", ""}}, 1},
        {"name-only CurrentSearch.cfg: Default, method untouched", {"Default.scfg"}, QString("Mine"),
         {{"Default.scfg", ""}}, std::nullopt},
        {"only the old default, no CurrentSearch.cfg", {"SearchConfigDefault.scfg"}, std::nullopt,
         {{"SearchConfigDefault.scfg", oldNotFound}}, 0},
        {"named file missing, only the old default", {"SearchConfigDefault.scfg"},
         CurrentSearchText("Gone.scfg", 1), {{"SearchConfigDefault.scfg", "Gone.scfg" + oldNotFound}}, 1},
        {"named file only", {"Mine.scfg"}, CurrentSearchText("Mine.scfg", 0), {{"Mine.scfg", ""}}, 0},
        {"none: the message, then the open dialog", {}, std::nullopt, {}, 0},
        {"none, named file missing", {}, CurrentSearchText("Gone.scfg", 1), {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TStartupChoice choice =
            ChooseStartupConfig([&](const QString& n) { return c.files.contains(n); }, c.current);
        EXPECT_EQ(choice.Steps, c.steps);
        EXPECT_EQ(choice.MatchingMethod, c.method);
    }
}

TEST(StartupChoice, ReadsTheCurrentDirectory)
{
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    auto touch = [](const QString& name, const QByteArray& bytes) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    EXPECT_TRUE(ChooseStartupConfigInCurrentDir().Steps.empty());

    touch("Default.scfg", "x");
    QDir().mkdir("Folder.scfg"); // a folder is no configuration file
    touch("CurrentSearch.cfg", CurrentSearchText("Folder.scfg", 1).toUtf8());
    const TStartupChoice choice = ChooseStartupConfigInCurrentDir();
    QDir::setCurrent(before);
    const std::vector<TStartupStep> expected = {
        {"Default.scfg", "Folder.scfg not found.  Loading default file."}};
    EXPECT_EQ(choice.Steps, expected);
    EXPECT_EQ(choice.MatchingMethod, 1);
}
