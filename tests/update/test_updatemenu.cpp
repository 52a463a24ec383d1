// The main menu's two update commands in the running program: the question
// first, then the wait window and the update itself.
#include "UpdateTestKit.h"
#include "support/FakeHttpServer.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"

#include "core/Entry.h"
#include "core/MainWindow.h"
#include "core/Record.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "update/LichenUpdate.h"
#include "update/UpdateDates.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct MenuCase {
    const char* name;
    int answer;
    bool updates;
};
void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

class UpdateMenuCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedDir = QDir::currentPath();
        savedMatrix = ColorMatrix;
        db.InsertLichen("Old lichen", "Old substance", "Old");
        db.InsertSubstance({{"name", "Old one"}, {"A", 10}});
        ASSERT_TRUE(QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), db.Dir() + "/Default.scfg"));
        db.CloseHandle();
        ASSERT_TRUE(QDir::setCurrent(db.Dir()));
        // The start-up probe reaches the fake server, so no internet question.
        server.Route("/", FakeResponse::Ok("<html></html>"));
        InternetProbeAddress = server.Url("/");
        PortalBaseAddress = server.BaseAddress();
        for (const char* id : MorphologyAttributeIds)
            ServePortalList(server, AttributePath(id),
                            MorphologyRecords({{QString("Atranorin ") + id, "Cladonia rangiferina"},
                                               {"usnic acid", "Usnea hirta"}}));
        SetUnixNowForTesting(1700000000);
        LichenDataDate = "0";
        SubstanceDataDate = "0";
        CreateAllForms();
        server.ClearRequests();
        TestDialogs().Reset();
    }
    void TearDown() override
    {
        DestroyAllForms();
        QDir::setCurrent(savedDir);
        ResetSettings();
        SetUnixNowForTesting(0);
        InternetEnabled = true;
        SpotsSaved = true;
        SortColumn = 0;
        Spots.clear();
        ColorMatrix = savedMatrix;
    }

    FixtureDb db;
    FakeHttpServer server;
    QString savedDir;
    std::array<TColorRow, 20> savedMatrix;
};

class UpdateMenu : public UpdateMenuCommand, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(UpdateMenu, LichenUpdateAsksFirstAndRunsOnlyWhenConfirmed)
{
    const MenuCase& c = GetParam();
    TestDialogs().AnswerNext(c.answer);
    Form1->UpdateLichenData1->Click();

    ASSERT_FALSE(TestDialogs().Questions().empty());
    EXPECT_EQ(TestDialogs().Questions()[0].Text, "This will replace all existing Lichen data. Continue?");
    EXPECT_EQ(server.Requests().size(), c.updates ? 23 : 0);
    EXPECT_FALSE(WaitForm->Visible());
    if (c.updates) {
        EXPECT_EQ(TestDialogs().Messages().last(), "Complete");
        EXPECT_GT(db.Count("Lichens"), 1);
        EXPECT_EQ(db.Count("LichensBackup"), 1);
        EXPECT_EQ(LichenDataDate, "1700000000");
    } else {
        EXPECT_TRUE(TestDialogs().Messages().isEmpty());
        EXPECT_EQ(db.Count("Lichens"), 1);
        EXPECT_EQ(LichenDataDate, "0");
    }
}

TEST_F(UpdateMenuCommand, CancelledSubstanceUpdateChangesNothing)
{
    TestDialogs().AnswerNext(mrCancel);
    Form1->DownloadSubstanceData1->Click();
    ASSERT_EQ(TestDialogs().Questions().size(), 1);
    EXPECT_EQ(TestDialogs().Questions()[0].Text, "This will replace all existing Substance data. Continue?");
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(db.Count("Substances"), 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, UpdateMenu,
                         ::testing::Values(MenuCase{"Ok", mrOk, true}, MenuCase{"Cancel", mrCancel, false}),
                         [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.name); });

} // namespace
