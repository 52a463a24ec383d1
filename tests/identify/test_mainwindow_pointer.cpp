// The main window as the user reaches it: the pointer over the spot list,
// clicks on the tool bar and the menu bar, and what the About box reads.
#include "test_mainwindow_fixture.h"

#include "lichens/OneLichen.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

namespace {

class MainWindowPointer : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        TwoSpots();
        Form1->MatchAllSpots();
        QApplication::processEvents();
        // Qt drops a move to where the pointer already is: start elsewhere.
        QTest::mouseMove(Form1->Button1->Widget(), QPoint(3, 3));
    }
    void TearDown() override
    {
        if (QMenu* popup = Form1->PopupMenu1->SubMenu()) popup->hide();
        MainWindowTest::TearDown();
    }

    QTreeWidget* Tree() const { return Form1->SpotListView->Tree(); }
    QWidget* Rows() const { return Tree()->viewport(); }
    // The middle of a row's caption, in the coordinates of the rows.
    QPoint PointAt(const QString& caption) const
    {
        const QRect rect = Tree()->visualItemRect(Tree()->topLevelItem(Row(caption)->Index()));
        return QPoint(40, rect.center().y());
    }
    QRect RowOnScreen(const QString& caption) const
    {
        const QRect rect = Tree()->visualItemRect(Tree()->topLevelItem(Row(caption)->Index()));
        return QRect(Rows()->mapToGlobal(rect.topLeft()), rect.size());
    }
    static QRect HintOnScreen() { return QRect(HintForm->Left(), HintForm->Top(), HintForm->Width(), HintForm->Height()); }

    // Opens a drop-down of the menu bar by a click on its title and clicks
    // the item in it.
    static void ClickMenu(TMenuItem* top, TMenuItem* item)
    {
        QMenuBar* bar = Form1->MainMenu1->MenuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top->Action()).center());
        QMenu* menu = top->SubMenu();
        ASSERT_TRUE(menu->isVisible()) << top->Caption().toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item->Action()).center());
        QApplication::processEvents();
    }
};

TEST_F(MainWindowPointer, CountHintStandsBelowThePointerAndLeavesTheRowItsClicks)
{
    Form1->BringToFront();
    QApplication::processEvents();
    ASSERT_TRUE(Form1->Active());
    for (const char* caption : {"Atranorin", "Chloroatranorin", "Norstictic acid"}) {
        SCOPED_TRACE(caption);
        const QPoint at = PointAt(caption);
        QTest::mouseMove(Rows(), at);
        ASSERT_TRUE(HintForm->Visible());
        const QPoint pointer = Rows()->mapToGlobal(at);
        EXPECT_FALSE(HintOnScreen().contains(pointer));
        EXPECT_FALSE(HintOnScreen().intersects(RowOnScreen(caption)));
        EXPECT_GT(HintForm->Top(), pointer.y());
        EXPECT_LE(HintForm->Top() - pointer.y(), 30);   // still beside it, not far off
    }
    EXPECT_EQ(HintForm->Panel->Caption(), "1 Lichen");   // Norstictic acid

    // A right-click at the row reaches the row: it is selected and the
    // list's menu opens for it.
    const QPoint at = PointAt("Atranorin");
    QTest::mouseMove(Rows(), at);
    // Through the window, so Qt finds the widget under the pointer itself.
    QTest::mouseClick(Form1->Widget()->windowHandle(), Qt::RightButton, {}, Rows()->mapTo(Form1->Widget(), at));
    EXPECT_TRUE(Row("Atranorin")->Selected());
    EXPECT_TRUE(Form1->PopupMenu1->SubMenu()->isVisible());
    EXPECT_EQ(Form1->PopupMenu1->PopupComponent, Form1->SpotListView);
    Form1->PopupMenu1->SubMenu()->hide();

    // Showing the hint did not take the activation from the main window.
    EXPECT_TRUE(Form1->Active());
    EXPECT_FALSE(HintForm->Active());
}

TEST_F(MainWindowPointer, CountHintHidesWhenThePointerLeavesTheList)
{
    QTest::mouseMove(Rows(), PointAt("Atranorin"));
    ASSERT_TRUE(HintForm->Visible());
    // Over the "Add TLC Spot" button, elsewhere in the window.
    QTest::mouseMove(Form1->Button1->Widget(), Form1->Button1->Widget()->rect().center());
    EXPECT_FALSE(HintForm->Visible());

    // Onto the list's header: off the rows, so no count either.
    QTest::mouseMove(Rows(), PointAt("Atranorin"));
    ASSERT_TRUE(HintForm->Visible());
    QTest::mouseMove(Tree()->header(), QPoint(40, Tree()->header()->height() / 2));
    EXPECT_FALSE(HintForm->Visible());

    // Over spot rows it stays hidden.
    QTest::mouseMove(Rows(), PointAt("Atranorin"));
    QTest::mouseMove(Rows(), PointAt("Spot 2"));
    EXPECT_FALSE(HintForm->Visible());
}

TEST_F(MainWindowPointer, DecliningToClearUnsavedSpotsStillSortsByMatchAndEnablesTheLichenButton)
{
    struct Way { const char* name; std::function<void()> click; };
    const Way ways[] = {
        {"tool button", [] { QTest::mouseClick(Form1->LoadIcon->Button(), Qt::LeftButton); }},
        {"menu", [] { ClickMenu(Form1->File1, Form1->Open1); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        SpotsSaved = false;
        SortColumn = 3;
        Form1->ViewLichensButton->SetEnabled(false);
        TestDialogs().Reset();
        TestDialogs().AnswerNext(mrCancel);
        way.click();
        EXPECT_EQ(TestDialogs().Shown(), QStringList({"Spot data will be cleared.  Continue?"}));
        EXPECT_TRUE(TestDialogs().FileRequests().empty());
        EXPECT_EQ(SortColumn, 100);
        EXPECT_TRUE(Form1->ViewLichensButton->Enabled());
        EXPECT_EQ(Spots.size(), 2u);
        EXPECT_FALSE(SpotsSaved);
    }

    // New declined changes nothing at all.
    SortColumn = 3;
    const QStringList before = Captions();
    TestDialogs().Reset();
    TestDialogs().AnswerNext(mrCancel);
    QTest::mouseClick(Form1->NewIcon->Button(), Qt::LeftButton);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Spot data will be cleared.  Continue?"}));
    EXPECT_EQ(SortColumn, 3);
    EXPECT_TRUE(Form1->ViewLichensButton->Enabled());
    EXPECT_EQ(Captions(), before);
}

// Every command that rebuilds the list drops its selection, so the lichen
// count of the rows selected before must not stay on the button.
TEST_F(MainWindowPointer, ARebuiltListShowsNoLichenCountOfTheRowsSelectedBefore)
{
    struct Way { const char* name; std::function<void()> rebuild; };
    const Way ways[] = {
        {"tolerance arrow", [] { QTest::mouseClick(Form1->MatchingUpDown->UpButton(), Qt::LeftButton); }},
        {"cune window Accept", [] {
             TSubstanceRecord published, local;
             published.name = local.name = "Atranorin";
             published.A = local.A = "75";
             CuneControls = {published, local};
             RefillCuneList();
             CuneForm->Show();
             QApplication::processEvents();
             ASSERT_TRUE(CuneForm->AcceptButton->Enabled());
             QTest::mouseClick(CuneForm->AcceptButton->Widget(), Qt::LeftButton);
         }},
        {"File > New", [] { ClickMenu(Form1->File1, Form1->New1); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        TwoSpots();
        Form1->MatchAllSpots();
        Form1->ViewLichensButton->SetEnabled(true);   // as after "Add TLC Spot"
        QApplication::processEvents();
        // A click on one substance, a ctrl-click on another: Parmelia
        // saxatilis has both.
        QTest::mouseClick(Rows(), Qt::LeftButton, {}, PointAt("Atranorin"));
        QTest::mouseClick(Rows(), Qt::LeftButton, Qt::ControlModifier, PointAt("Norstictic acid"));
        ASSERT_EQ(Form1->SpotListView->SelCount(), 2);
        ASSERT_EQ(Form1->ViewLichensButton->Caption(), "1 Lichens");

        way.rebuild();

        EXPECT_EQ(Form1->SpotListView->SelCount(), 0);
        EXPECT_EQ(Form1->ViewLichensButton->Caption(), "0 Lichens");
        EXPECT_TRUE(TestDialogs().Messages().isEmpty());
    }
}

TEST_F(MainWindowPointer, AboutShowsDatesItCanReadAndUnknownForTheRest)
{
    const QString march5 = QLocale::system().toString(QDate(2024, 3, 5), QStringLiteral("MMM d, yyyy"));
    const struct { QByteArray stored; QString shown; } cases[] = {
        {"1709640000", march5},
        {"253402300799", QLocale::system().toString(QDate(9999, 12, 31), QStringLiteral("MMM d, yyyy"))},
        {"0", "Unknown"},                       // never recorded
        {"253402300800", "Unknown"},            // a five-digit year
        {"9300000000000000", "Unknown"},        // past what the date types hold
        {"9223372036854775807", "Unknown"},
        {"99999999999999999999999", "Unknown"}, // not even a 64-bit number
        {"-1", "Unknown"},
        {"-9300000000000000", "Unknown"},
        {"12abc", "Unknown"},
        {"", "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        LichenDataDate = c.stored;
        TestDialogs().Reset();
        ClickMenu(Form1->Help1, Form1->About);
        ASSERT_EQ(TestDialogs().Questions().size(), 1u);
        EXPECT_TRUE(TestDialogs().Questions()[0].Text.contains("Lichen Data:     " + c.shown + "\r\n"))
            << TestDialogs().Questions()[0].Text.toStdString();
    }

    // The same dates read from "UpdateDates.txt".
    WriteBytes(Path("UpdateDates.txt"), "Substances\t9300000000000000\r\nLichens\t1709640000");
    ReadUpdateDates();
    TestDialogs().Reset();
    ClickMenu(Form1->Help1, Form1->About);
    ASSERT_EQ(TestDialogs().Questions().size(), 1u);
    EXPECT_TRUE(TestDialogs().Questions()[0].Text.contains("Lichen Data:     " + march5 + "\r\n"
                                                          "Substance Data:  Unknown\r\n"))
        << TestDialogs().Questions()[0].Text.toStdString();
}

TEST_F(MainWindowPointer, ToolBarKeepsItsWidthAndLeavesTheTopRowToTheWindow)
{
    TToolBar* bar = Form1->ToolBar1;
    EXPECT_EQ(bar->BoundsRect(), QRect(0, 0, 140, bar->Height()));
    EXPECT_EQ(bar->MaxWidth(), 140);
    EXPECT_TRUE(bar->Transparent());
    EXPECT_FALSE(bar->Widget()->autoFillBackground());
    // Right of the bar the top row is the window's own.
    QWidget* client = Form1->ClientWidget();
    QWidget* right = client->childAt(QPoint(300, 10));
    EXPECT_TRUE(right == nullptr || (right != bar->Widget() && !bar->Widget()->isAncestorOf(right)));
    // Its buttons are reachable where they stand.
    EXPECT_EQ(client->childAt(bar->Widget()->mapTo(client, Form1->NewIcon->Widget()->geometry().center())),
              Form1->NewIcon->Widget());
}

TEST_F(MainWindowPointer, OneLichenMenuTakesItsPicturesFromTheMainWindow)
{
    Application->CreateForm(OneLichenForm);
    struct Item { TMenuItem* item; int image; } items[] = {
        {OneLichenForm->Save1, 8}, {OneLichenForm->Close1, 5}, {OneLichenForm->Copy1, 1}};
    for (const Item& i : items) {
        SCOPED_TRACE(i.item->Caption().toStdString());
        const QIcon icon = i.item->Action()->icon();
        ASSERT_FALSE(icon.isNull());
        const QImage expected = Form1->ImageList1->Image(i.image).convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(icon.pixmap(expected.size()).toImage().convertToFormat(QImage::Format_ARGB32), expected);
    }
    EXPECT_EQ(OneLichenForm->MainMenu1->Images(), Form1->ImageList1);
    delete OneLichenForm;
    OneLichenForm = nullptr;
}

} // namespace
