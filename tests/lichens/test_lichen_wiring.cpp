// The lichen browser reached from the main window: the "View Lichens" menu
// command and a double-click in the lichen matches window open the real
// lichen and record windows, each first shown centred on the main window.
#include "identify/test_mainwindow_fixture.h"
#include "lichens/LichenList.h"
#include "lichens/OneLichen.h"
#include "substances/ViewRecord.h"
#include "support/ListInput.h"
#include "support/MenuInput.h"

#include <QMenu>
#include <QTreeWidget>
#include <QWindow>

namespace {

class LichenWiring : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        InternetEnabled = false;   // no portal in these tests
        Application->CreateForm(ViewRecordForm);
        Application->CreateForm(LichenListForm);
        Application->CreateForm(OneLichenForm);
    }
    void TearDown() override
    {
        Free(OneLichenForm);
        Free(LichenListForm);
        Free(ViewRecordForm);
        MainWindowTest::TearDown();
    }
    static QStringList ListLines() { return LichenListForm->LichenListBox->Items()->ToStringList(); }
    static int MiddleY(TForm* form) { return form->Top() + form->Height() / 2; }
};

TEST_F(LichenWiring, ViewLichensMenuListsEveryLichenWithAnEmptySearch)
{
    LichenListForm->SearchWordEdit->SetText("zz");   // a search left from before
    ASSERT_TRUE(ListLines().isEmpty());
    ASSERT_TRUE(LichenListForm->FilteredCheckbox->Checked());

    Form1->ViewLichens1->Click();

    EXPECT_TRUE(LichenListForm->Visible());
    EXPECT_EQ(LichenListForm->SearchWordEdit->Text(), "");
    EXPECT_FALSE(LichenListForm->FilteredCheckbox->Checked());
    EXPECT_EQ(ListLines(), QStringList({"Cladonia rangiferina", "Parmelia saxatilis", "Parmelia sulcata",
                                        "Physcia aipolia"}));
    EXPECT_FALSE(WaitForm->Visible());
}

TEST_F(LichenWiring, MatchesDoubleClickOpensTheLichenOrTheSubstanceRecord)
{
    LichenMatchesForm->LichenListBox->Items()->Assign(
        {"Substances:", "Atranorin", "", "Lichens:", "Parmelia sulcata"});
    LichenMatchesForm->Show();
    auto doubleClick = [](int index) {
        LichenMatchesForm->LichenListBox->SetItemIndex(index);
        LichenMatchesForm->LichenListBoxDblClick(LichenMatchesForm->LichenListBox);
    };

    doubleClick(4);
    EXPECT_TRUE(OneLichenForm->Visible());
    EXPECT_EQ(OneLichenForm->LichenNameLabel->Caption(), "Parmelia sulcata");
    EXPECT_EQ(OneLichenForm->ListBox->Items()->ToStringList(), QStringList({"Atranorin", "Salazinic acid"}));
    EXPECT_FALSE(WaitForm->Visible());
    // The list window is placed beside it even while hidden.
    EXPECT_EQ(OneLichenForm->Left(), LichenListForm->Left() + LichenListForm->Width());

    doubleClick(1);
    EXPECT_TRUE(ViewRecordForm->Visible());
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Atranorin");
    EXPECT_TRUE(TestDialogs().Messages().isEmpty());
}

TEST_F(LichenWiring, WindowsPlacedSideBySideBeforeTheirFirstShowAreStillCentredVertically)
{
    // Lower than where it starts, so a window left at the top edge of the
    // screen is far from the main window's middle.
    Form1->SetTop(Form1->Top() + 100);
    TwoSpots();
    Form1->MatchAllSpots();
    QApplication::processEvents();
    const int mainMiddle = MiddleY(Form1);
    const int centreLine = Form1->Left() + Form1->Width() / 2;

    // The lichens of a substance row by its right-click menu, one of them
    // opened from the matches: the one-lichen window places the lichen
    // list, never shown yet, beside itself.
    QTreeWidget* tree = Form1->SpotListView->Tree();
    const QList<QTreeWidgetItem*> row = tree->findItems("Atranorin", Qt::MatchExactly);
    ASSERT_EQ(row.size(), 1);
    const QPoint at(40, tree->visualItemRect(row[0]).center().y());
    QTest::mouseMove(tree->viewport(), at);
    QTest::mouseClick(Form1->Widget()->windowHandle(), Qt::RightButton, {},
                      tree->viewport()->mapTo(Form1->Widget(), at));
    QMenu* popup = Form1->PopupMenu1->SubMenu();
    ASSERT_TRUE(popup->isVisible());
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(Form1->ViewLichens2->Action()).center());
    QApplication::processEvents();
    ASSERT_TRUE(LichenMatchesForm->Visible());
    ASSERT_TRUE(DoubleClickLine(LichenMatchesForm->LichenListBox->List(), "Parmelia sulcata"));
    ASSERT_TRUE(OneLichenForm->Visible());
    ASSERT_FALSE(LichenListForm->Visible());
    const int listLeft = LichenListForm->Left();
    ASSERT_EQ(listLeft, centreLine - LichenListForm->Width());

    // A substance of the lichen opens its record.
    ASSERT_TRUE(DoubleClickLine(OneLichenForm->ListBox->List(), "Atranorin"));
    ASSERT_TRUE(ViewRecordForm->Visible());
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Atranorin");

    // "View Lichens" from the main window's menu bar.
    QMenu* menu = OpenDropDown(Form1->MainMenu1->MenuBar(), Form1->Lichens1);
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(Form1->ViewLichens1->Action()).center());
    QApplication::processEvents();
    ASSERT_TRUE(LichenListForm->Visible());

    for (TForm* form : std::initializer_list<TForm*>{OneLichenForm, ViewRecordForm, LichenListForm}) {
        SCOPED_TRACE(form->Name.toStdString());
        EXPECT_NEAR(MiddleY(form), mainMiddle, 1);
    }
    // Across, the list keeps its place beside the one-lichen window.
    EXPECT_EQ(LichenListForm->Left(), listLeft);
}

} // namespace
