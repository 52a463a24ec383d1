// The menu bars as the user reaches them: a mouse click at an item of the bar
// and the keyboard (Alt+letter; Alt, arrows and Enter). A top-level item
// without children is a command; one with children opens its drop-down. The
// bar takes its room above the client area, never from it.
#include "all_windows_kit.h"
#include "support/MenuInput.h"

#include "config/Cune.h"
#include "config/SearchConfig.h"
#include "lichens/OneLichen.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <map>

namespace {

QMenuBar* BarOf(TForm* form)
{
    return form->Menu() ? form->Menu()->MenuBar() : nullptr;
}

void Activate(TForm* form)
{
    form->Show();
    QApplication::setActiveWindow(form->Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->Widget()));
}

// The key that Alt is pressed with for the item (its underlined letter).
int AcceleratorKey(TMenuItem* item)
{
    const QKeySequence seq = QKeySequence::mnemonic(item->Action()->text());
    return seq.isEmpty() ? 0 : seq[0].key();
}

QString Shown(TForm* form) { return form->Showing() ? form->Name : QString(); }

} // namespace

class MenuBarInput : public AllWindows {
protected:
    // The window each command item of a bar brings up.
    std::map<TMenuItem*, TForm*> Commands() const
    {
        return {{Form1->Search1, SearchConfigForm}, {Form1->Cune1, CuneForm}};
    }
};

// Every top-level item of every bar, clicked where the bar draws it: command
// items run their command, the others open their drop-down and nothing else.
TEST_F(MenuBarInput, EachTopLevelItemClickedOnTheBar)
{
    const auto commands = Commands();
    int commandItems = 0, dropDowns = 0;
    for (TForm* form : Windows()) {
        QMenuBar* bar = BarOf(form);
        if (!bar || !form->Menu()->HasVisibleItems()) continue;
        for (int i = 0; i < form->Menu()->Count(); ++i) {
            TMenuItem* item = form->Menu()->Items(i);
            SCOPED_TRACE((form->Name + " / " + item->Caption()).toStdString());
            for (const auto& [_, window] : commands) window->Hide();
            Activate(form);
            const QRect r = bar->actionGeometry(item->Action());
            ASSERT_FALSE(r.isEmpty());
            ASSERT_TRUE(bar->rect().contains(r));
            ASSERT_TRUE(bar->isVisible());

            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, r.center());
            QApplication::processEvents();

            if (item->Count() > 0) {
                ++dropDowns;
                ASSERT_NE(item->Action()->menu(), nullptr);
                EXPECT_TRUE(item->Action()->menu()->isVisible());
                for (const auto& [_, window] : commands) {
                    if (window != form) {
                        EXPECT_EQ(Shown(window), QString());
                    }
                }
                CloseDropDowns();
            } else {
                ++commandItems;
                EXPECT_EQ(item->Action()->menu(), nullptr);
                EXPECT_FALSE(AnyDropDownOpen());
                ASSERT_EQ(commands.count(item), 1u) << "a command item of the bar without an expected window";
                EXPECT_EQ(Shown(commands.at(item)), commands.at(item)->Name);
            }
        }
    }
    EXPECT_EQ(commandItems, 2);   // "Search Configuration" and "Cune"
    EXPECT_GE(dropDowns, 5 + 2 + 2);   // the main window's, the search configuration's, the one-lichen window's
}

// Alt with the underlined letter: command items run, the others drop down.
TEST_F(MenuBarInput, AltWithTheAcceleratorLetter)
{
    QList<int> keys;
    for (int i = 0; i < Form1->MainMenu1->Count(); ++i) {
        TMenuItem* item = Form1->MainMenu1->Items(i);
        SCOPED_TRACE(item->Caption().toStdString());
        // The caption itself stays as the window gives it.
        EXPECT_FALSE(item->Caption().contains(u'&'));
        const int key = AcceleratorKey(item);
        ASSERT_NE(key, 0);
        EXPECT_FALSE(keys.contains(key)) << "two items share an accelerator";
        keys << key;
    }
    const auto commands = Commands();
    for (const auto& [item, window] : commands) {
        SCOPED_TRACE(item->Caption().toStdString());
        window->Hide();
        Activate(Form1);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Form1->Widget(),
                        Qt::Key(AcceleratorKey(item)), Qt::AltModifier);
        QApplication::processEvents();
        EXPECT_EQ(Shown(window), window->Name);
        EXPECT_FALSE(AnyDropDownOpen());
        // The bar lets go of the item it flashed.
        EXPECT_TRUE(QTest::qWaitFor([] { return !BarOf(Form1)->activeAction(); }, 5000));
    }
    Activate(Form1);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Form1->Widget(),
                    Qt::Key(AcceleratorKey(Form1->File1)), Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_TRUE(Form1->File1->Action()->menu()->isVisible());
    CloseDropDowns();
}

// Alt alone puts the bar in keyboard mode on its first item; the arrows move
// along the bar and Enter runs a command item.
TEST_F(MenuBarInput, AltThenArrowsThenEnter)
{
    for (const auto& [item, window] : Commands()) {
        SCOPED_TRACE(item->Caption().toStdString());
        window->Hide();
        Activate(Form1);
        QMenuBar* bar = BarOf(Form1);
        ASSERT_TRUE(QTest::qWaitFor([bar] { return !bar->activeAction(); }, 5000));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Form1->Widget(), Qt::Key_Alt);
        ASSERT_EQ(bar->activeAction(), Form1->File1->Action());
        for (int steps = 0; bar->activeAction() != item->Action() && steps < 10; ++steps)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        ASSERT_EQ(bar->activeAction(), item->Action());
        EXPECT_EQ(Shown(window), QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(Shown(window), window->Name);
        EXPECT_FALSE(AnyDropDownOpen());
    }
}

// The client area is the size the window gives: every control of a window
// with a menu bar lies inside what is visible below the bar.
TEST_F(MenuBarInput, TheBarTakesNoRoomFromTheControls)
{
    for (TForm* form : Windows()) {
        if (!form->Menu()) continue;
        SCOPED_TRACE(form->Name.toStdString());
        form->Show();
        QApplication::processEvents();
        QWidget* window = form->Widget();
        QWidget* client = form->ClientWidget();
        const int bar = form->Menu()->HasVisibleItems() ? BarOf(form)->height() : 0;
        EXPECT_EQ(client->geometry(), QRect(0, bar, window->width(), window->height() - bar));
        EXPECT_EQ(form->ClientHeight(), client->height());
        for (int i = 0; i < form->ComponentCount(); ++i) {
            auto* c = dynamic_cast<TControl*>(form->Components(i));
            if (!c || c->Parent() != form || !c->Visible() || c->Align() != alNone) continue;
            SCOPED_TRACE(c->Name.toStdString());
            EXPECT_TRUE(client->rect().contains(c->BoundsRect())) << c->Top() + c->Height() << " > " << client->height();
        }
    }
    // The window's own sizes hold where it sets its client area.
    EXPECT_EQ(SearchConfigForm->ClientWidth(), 1162);
    EXPECT_EQ(SearchConfigForm->ClientHeight(), 651);
    EXPECT_EQ(CuneForm->ClientWidth(), 702);
    EXPECT_EQ(CuneForm->ClientHeight(), 474);
    EXPECT_EQ(OneLichenForm->ClientHeight(), 651);
}

// The search configuration window's bottom row: its lowest control is inside
// the window, and a click at the OK button's place reaches the button.
TEST_F(MenuBarInput, TheBottomRowOfTheSearchConfigurationIsReachable)
{
    Activate(SearchConfigForm);
    QWidget* window = SearchConfigForm->Widget();
    TControl* lowest = nullptr;
    for (int i = 0; i < SearchConfigForm->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(SearchConfigForm->Components(i));
        if (c && c->Showing() && (!lowest || c->Widget()->mapTo(window, QPoint(0, c->Height())).y() >
                                                 lowest->Widget()->mapTo(window, QPoint(0, lowest->Height())).y()))
            lowest = c;
    }
    ASSERT_NE(lowest, nullptr);
    const QRect lowestRect(lowest->Widget()->mapTo(window, QPoint(0, 0)), lowest->Widget()->size());
    EXPECT_TRUE(window->rect().contains(lowestRect)) << lowest->Name.toStdString();
    // Below it stays the margin the window's client area of 651 leaves.
    const int bottomInClient = lowest->Widget()->mapTo(SearchConfigForm->ClientWidget(), QPoint(0, lowest->Height())).y();
    EXPECT_EQ(window->height() - (lowestRect.bottom() + 1), 651 - bottomInClient) << lowest->Name.toStdString();

    TButton* ok = SearchConfigForm->CloseButton;
    const QPoint at = ok->Widget()->mapTo(window, ok->Widget()->rect().center());
    ASSERT_TRUE(window->rect().contains(at));
    QWidget* hit = window->childAt(at);
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit == ok->Widget() || ok->Widget()->isAncestorOf(hit)) << hit->metaObject()->className();
    QTest::mouseClick(hit, Qt::LeftButton, Qt::NoModifier, hit->mapFrom(window, at));
    QApplication::processEvents();
    EXPECT_FALSE(SearchConfigForm->Showing());   // "OK" hides the window
}
