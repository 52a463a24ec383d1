// Saving spots on a disk that refuses the write: the old file survives and
// the spots stay unsaved, so quitting still warns; the quit's own
// "CurrentSearch.cfg" keeps its old bytes too.
#include "test_mainwindow_fixture.h"
#include "support/RefusingDisk.h"

#include <QDir>

namespace {

TEST_F(MainWindowTest, ARefusedSpotSaveKeepsTheFileAndTheSpotsUnsaved)
{
    const QByteArray old = "Name: Spot 9\r\nA: 12\r\n\r\n";
    struct Case { const char* file; void (TForm1::*save)(TObject*); } cases[] = {
        {"plate.spot", &TForm1::SaveIconClick},
        {"all.ful", &TForm1::SaveAllIconClick},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WriteBytes(Path(c.file), old);
        WriteBytes(Path("CurrentSearch.cfg"), "ConfigFile: Old.scfg\r\nMatchingMethod: 0");
        TwoSpots();
        Form1->MatchAllSpots();
        SpotsSaved = false;
        Form1->SaveIcon->SetEnabled(true);

        const TChildRun run = RunOnRefusingDisk(10, [&] {
            TestDialogs().NextFileName(Path(c.file));
            (Form1->*c.save)(nullptr);
            const int state = (SpotsSaved ? 1 : 0) | (Form1->SaveIcon->Enabled() ? 2 : 0);
            TestDialogs().AnswerNext(mrCancel);
            Form1->MainMenuQuitClick(nullptr);
            return state;
        });

        EXPECT_EQ(run.ExitCode, 2);   // not saved, the save button still offered
        EXPECT_EQ(FileBytes(Path(c.file)), old);
        EXPECT_EQ(FileBytes(Path("CurrentSearch.cfg")), "ConfigFile: Old.scfg\r\nMatchingMethod: 0");
        ASSERT_EQ(run.Shown.size(), 3) << run.Shown.join("|").toStdString();
        EXPECT_TRUE(run.Shown[0].startsWith("Unable to create")) << run.Shown[0].toStdString();
        EXPECT_TRUE(run.Shown[1].startsWith("Unable to create or open file CurrentSearch.cfg to write:"))
            << run.Shown[1].toStdString();
        EXPECT_EQ(run.Shown[2], "Spot data not saved.  Really quit?");
        EXPECT_FALSE(QDir(db.Dir()).entryList(QDir::Files | QDir::Hidden).join(",").contains(".tmp"));
    }
}

} // namespace
