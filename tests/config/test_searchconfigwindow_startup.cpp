// The configuration chosen by the search configuration window's constructor
// from the files of the working folder.
#include "test_searchconfigwindow_kit.h"

#include <optional>

namespace {

struct StartCase {
    const char* what;
    std::map<QString, QByteArray> files;   // working folder
    std::optional<QString> openDialog;     // answer to a Load dialog, if one opens
    QStringList messages;
    QString fileName;                      // SearchConfigFileName afterwards ("" = none loaded)
    int method;                            // both windows' method index
    bool windowShown;
};

using StartupChoiceWindow = ConfigWindows;

TEST_F(StartupChoiceWindow, EachCaseThroughTheConstructor)
{
    const QByteArray scfg = DefaultScfg();
    const QByteArray outdated = "Colour table of an older version\r\nUseTLCSpotColors: 1";
    const QString elsewhere = QDir(db.Dir()).filePath("sub/Picked.scfg");
    const StartCase cases[] = {
        {"Default present", {{"Default.scfg", scfg}}, std::nullopt, {}, "Default.scfg", 0, false},
        {"remembered file and method",
         {{"Default.scfg", scfg}, {"Mine.scfg", scfg},
          {"CurrentSearch.cfg", "ConfigFile: Mine.scfg\r\nMatchingMethod: 1"}},
         std::nullopt, {}, "Mine.scfg", 1, false},
        {"named file missing",
         {{"Default.scfg", scfg}, {"CurrentSearch.cfg", "ConfigFile: Gone.scfg\r\nMatchingMethod: 1"}},
         std::nullopt, {"Gone.scfg not found.  Loading default file."}, "Default.scfg", 1, false},
        {"only the old default", {{"SearchConfigDefault.scfg", scfg}}, std::nullopt,
         {" not found.  Loading old default file."}, "SearchConfigDefault.scfg", 0, false},
        {"named file outdated falls through to the default",
         {{"Default.scfg", scfg}, {"Old.scfg", outdated},
          {"CurrentSearch.cfg", "ConfigFile: Old.scfg\r\nMatchingMethod: 0"}},
         std::nullopt, {OutdatedConfigMessage}, "Default.scfg", 0, false},
        {"none: message, then the Load dialog", {{"sub/Picked.scfg", scfg}}, elsewhere,
         {NoConfigFoundMessage}, elsewhere, 0, true},
        {"none and the Load dialog cancelled", {}, QString(), {NoConfigFoundMessage}, "", 0, true},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        ClearWorkingFolder();
        SetUp();
        TestDialogs().Reset();
        QDir(db.Dir()).mkpath("sub");
        for (const auto& [name, bytes] : c.files)
            WriteFile(name, bytes);
        if (c.openDialog)
            TestDialogs().NextFileName(*c.openDialog);
        CreateConfigWindows();

        EXPECT_EQ(TestDialogs().Messages(), c.messages);
        EXPECT_EQ(TestDialogs().FileRequests().size(), c.openDialog ? 1u : 0u);
        if (c.openDialog) {
            EXPECT_FALSE(TestDialogs().FileRequests()[0].Save);
            EXPECT_EQ(TestDialogs().FileRequests()[0].DefaultExt, "scfg");
        }
        EXPECT_EQ(SearchConfigFileName, c.fileName);
        EXPECT_EQ(Form1->MatchingMethodRadioGroup->ItemIndex(), c.method);
        EXPECT_EQ(SearchConfigForm->MatchingMethodRadioGroup->ItemIndex(), c.method);
        EXPECT_EQ(SearchConfigForm->Visible(), c.windowShown);
        EXPECT_TRUE(SearchConfigSaved);

        const bool loaded = !c.fileName.isEmpty();
        EXPECT_EQ(ColorMatrix[10].ColorName, loaded ? "Red" : "");
        // Every configuration loaded, also through that dialog, gives the
        // thallus combo boxes their colour items.
        for (TComboBox* combo : SearchConfigForm->ThallusCombos())
            EXPECT_EQ(combo->Items()->Count(), loaded ? 18 : 0);
        if (loaded) {
            const QString display = SearchConfigDisplayName(c.fileName);
            EXPECT_EQ(Form1->SearchFile->Caption(), display);
            EXPECT_EQ(SearchConfigForm->Caption(), display);
            // The loaded threshold of the method shows on the main window at once.
            EXPECT_EQ(Form1->MatchingValueLabel->Caption(), c.method == 1 ? "5" : "1");
            EXPECT_EQ(SearchConfigForm->KCombo->Items()->Strings(6), "Yellow");
            EXPECT_EQ(SearchConfigForm->KCombo->Text(), "No Result");
            EXPECT_EQ(InputSpotValuesForm->KLabel->Caption(), "No Result");
            EXPECT_EQ(SearchConfigForm->SearchConfigListView->Items()->Count(), 18);
            EXPECT_EQ(SearchConfigForm->SaveButton->Enabled(), c.fileName != "Default.scfg");
        }
        EXPECT_FALSE(QFileInfo::exists("CurrentSearch.cfg") && !c.files.count("CurrentSearch.cfg") &&
                     !c.openDialog)
            << "the start-up alone writes no CurrentSearch.cfg";
    }
}

} // namespace
