// The lichen matches window with the main window's search: switching the
// match mode repeats the search at once; Close returns to the spot list.
#include "identify/test_mainwindow_fixture.h"

namespace {

using LichenMatchesWithMain = MainWindowTest;

TEST_F(LichenMatchesWithMain, SwitchingTheModeRebuildsTheListAndCloseReturnsToTheSpots)
{
    TwoSpots();
    Form1->MatchAllSpots();
    Form1->Show();
    ASSERT_TRUE(Row("Atranorin"));
    Row("Atranorin")->SetSelected(true);
    Form1->ViewLichensButtonClick(Form1->ViewLichensButton);
    ASSERT_TRUE(LichenMatchesForm->Visible());
    const QStringList header = {"Substances:", "Atranorin", "", "Lichens:"};
    EXPECT_EQ(LichenLines().mid(0, 4), header);
    EXPECT_EQ(LichenLines().size(), 8);   // four lichens hold Atranorin

    // Every lichen with Atranorin holds another substance too.
    LichenMatchesForm->MatchRadio->SetItemIndex(0);
    EXPECT_EQ(LichenLines(), header);
    LichenMatchesForm->MatchRadio->SetItemIndex(1);
    EXPECT_EQ(LichenLines().size(), 8);

    LichenMatchesForm->CloseButton->Click();
    EXPECT_FALSE(LichenMatchesForm->Visible());
    // The spot list is the main window's focus, whether or not that window is active now.
    QWidget* list = Form1->SpotListView->Widget();
    QWidget* focus = list->window()->focusWidget();
    EXPECT_TRUE(focus && (focus == list || list->isAncestorOf(focus)));
    EXPECT_EQ(LichenLines().size(), 8);
}

} // namespace
