// Menu bars: a top-level item is a command until it has children, and a
// command again when its last child goes; automatic accelerators; an empty
// menu shows no bar; the bar never takes the client area's room from a
// window sized by its client area. Menu pictures come from the nearest image
// list, whenever it is given.
#include "framework/Framework.h"
#include "support/MenuInput.h"
#include "support/TextLook.h"

#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

class TMenuForm : public TForm {
public:
    explicit TMenuForm(TComponent* owner) : TForm(owner)
    {
        SetClientWidth(400);
        SetClientHeight(120);
        Bottom = new TButton(this, this);
        Bottom->SetBounds(10, 90, 80, 30);   // the client area's bottom row
        Bottom->SetCaption("Bottom");
        Menu1 = new TMainMenu(this);
    }
    TMenuItem* Add(TMenuItemList* parent, const QString& caption)
    {
        auto* m = new TMenuItem(this, parent);
        m->SetCaption(caption);
        m->OnClick = [this, m](TObject*) { clicked << m->Caption(); };
        return m;
    }
    TButton* Bottom;
    TMainMenu* Menu1;
    QStringList clicked;
};

void ClickOnBar(TForm& form, TMenuItem* item)
{
    QMenuBar* bar = form.Menu()->MenuBar();
    const QRect r = bar->actionGeometry(item->Action());
    ASSERT_FALSE(r.isEmpty());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, r.center());
    QApplication::processEvents();
}

QString Accelerator(TMenuItem* item)
{
    return QKeySequence::mnemonic(item->Action()->text()).toString();
}

QImage Plain(const QColor& colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// The colour of the item's picture, or an invalid colour without one.
QColor PictureColour(TMenuItem* item)
{
    const QIcon icon = item->Action()->icon();
    if (icon.isNull()) return {};
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
}

int PixelsOf(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour) ++n;
    return n;
}

} // namespace

TEST(GuiMenus, ATopLevelItemDropsDownOnlyWhileItHasChildren)
{
    TMenuForm form(Application);
    TMenuItem* file = form.Add(form.Menu1, "File");
    TMenuItem* open = form.Add(file, "Open");
    TMenuItem* search = form.Add(form.Menu1, "Search");
    form.Show();

    // A command item: the click runs it, no drop-down.
    ClickOnBar(form, search);
    EXPECT_EQ(form.clicked, QStringList{"Search"});
    EXPECT_EQ(search->Action()->menu(), nullptr);

    // An item with children: the click opens them and runs nothing.
    ClickOnBar(form, file);
    ASSERT_NE(file->Action()->menu(), nullptr);
    EXPECT_TRUE(file->Action()->menu()->isVisible());
    EXPECT_EQ(form.clicked, QStringList{"Search"});
    CloseDropDowns();

    // Children added later turn a command into a drop-down ...
    TMenuItem* sub = form.Add(search, "Sub");
    ASSERT_NE(search->Action()->menu(), nullptr);
    ClickOnBar(form, search);
    EXPECT_TRUE(search->Action()->menu()->isVisible());
    EXPECT_EQ(form.clicked, QStringList{"Search"});
    CloseDropDowns();

    // ... and without its last child it is a command again.
    delete sub;
    EXPECT_EQ(search->Action()->menu(), nullptr);
    ClickOnBar(form, search);
    EXPECT_EQ(form.clicked, (QStringList{"Search", "Search"}));
    delete open;
    ClickOnBar(form, file);
    EXPECT_EQ(form.clicked, (QStringList{"Search", "Search", "File"}));
    EXPECT_EQ(file->Caption(), "File");
}

TEST(GuiMenus, APopUpMenuGivenItsPicturesAfterTheIndicesShowsThem)
{
    TMenuForm form(Application);
    auto* popup = new TPopupMenu(&form);
    TMenuItem* compare = form.Add(popup, "Compare");
    compare->SetImageIndex(2);
    TMenuItem* add = form.Add(popup, "Add");
    add->SetImageIndex(0);
    add->SetVisible(false);
    TMenuItem* beyond = form.Add(popup, "Beyond");
    beyond->SetImageIndex(7);
    form.Bottom->SetPopupMenu(popup);
    auto* list = new TImageList(&form);
    for (QColor c : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) list->Add(Plain(c));
    popup->SetImages(list);

    EXPECT_EQ(PictureColour(compare), QColor(Qt::blue));
    EXPECT_EQ(PictureColour(add), QColor(Qt::red));   // hidden, yet ready
    EXPECT_FALSE(PictureColour(beyond).isValid());   // past the list's end

    // The user opens it with a right click on the control that carries it.
    form.Show();
    QWidget* button = form.Bottom->Widget();
    QTest::mouseClick(form.Widget()->windowHandle(), Qt::RightButton, {},
                      button->mapTo(form.Widget(), button->rect().center()));
    QMenu* menu = popup->SubMenu();
    ASSERT_TRUE(menu->isVisible());
    const QImage shown = menu->grab().toImage();
    EXPECT_GE(PixelsOf(shown, menu->actionGeometry(compare->Action()), Qt::blue), 100);
    EXPECT_EQ(PixelsOf(shown, menu->actionGeometry(beyond->Action()), Qt::blue), 0);
    menu->hide();

    // Another list, or none, changes the pictures of the items as they are.
    auto* other = new TImageList(&form);
    for (QColor c : {QColor(Qt::yellow), QColor(Qt::cyan), QColor(Qt::magenta)}) other->Add(Plain(c));
    popup->SetImages(other);
    EXPECT_EQ(PictureColour(compare), QColor(Qt::magenta));
    popup->SetImages(nullptr);
    EXPECT_FALSE(PictureColour(compare).isValid());
    EXPECT_FALSE(PictureColour(add).isValid());
}

// A menu is a window of its own, not drawn on the form's palette: a disabled
// item of a pop-up still reads at 3:1 on the open menu and stands apart from
// an enabled one, on the light palette and after a change to a dark grey one
// (where the light palette's grey would not read).
TEST(GuiMenus, ADisabledItemOfAPopUpReadsOnTheMenuWhateverThePalette)
{
    TMenuForm form(Application);
    auto* popup = new TPopupMenu(&form);
    TMenuItem* copy = form.Add(popup, "Copy");
    TMenuItem* paste = form.Add(popup, "Paste");
    paste->SetEnabled(false);
    form.Bottom->SetPopupMenu(popup);
    form.Show();
    const KeptApplicationPalette light;
    for (const QPalette& palette : {light.palette, DarkGreyPalette()}) {
        SCOPED_TRACE(palette.color(QPalette::Window).name().toStdString());
        QApplication::setPalette(palette);
        QWidget* button = form.Bottom->Widget();
        QTest::mouseClick(form.Widget()->windowHandle(), Qt::RightButton, {},
                          button->mapTo(form.Widget(), button->rect().center()));
        QMenu* menu = popup->SubMenu();
        ASSERT_TRUE(menu->isVisible());
        const TextLook disabled = TextLookOf(menu->grab(MenuItemTextArea(menu, paste->Action())).toImage());
        const TextLook enabled = TextLookOf(menu->grab(MenuItemTextArea(menu, copy->Action())).toImage());
        menu->hide();
        EXPECT_GE(disabled.Contrast(), 3.0) << qPrintable(disabled.ink.name() + " on " + disabled.background.name());
        EXPECT_GE(ContrastRatio(disabled.ink, enabled.ink), 1.5) << qPrintable(disabled.ink.name() + " " + enabled.ink.name());
    }
}

TEST(GuiMenus, AnItemTakesThePicturesOfTheNearestListAboveIt)
{
    TMenuForm form(Application);
    TMenuItem* file = form.Add(form.Menu1, "File");
    TMenuItem* open = form.Add(file, "Open");
    open->SetImageIndex(1);
    TMenuItem* recent = form.Add(file, "Recent");
    TMenuItem* first = form.Add(recent, "First");
    first->SetImageIndex(0);
    auto* menuPictures = new TImageList(&form);
    menuPictures->Add(Plain(Qt::red));
    menuPictures->Add(Plain(Qt::green));
    auto* recentPictures = new TImageList(&form);
    recentPictures->Add(Plain(Qt::blue));

    recent->SetImages(recentPictures);
    EXPECT_FALSE(PictureColour(open).isValid());
    EXPECT_EQ(PictureColour(first), QColor(Qt::blue));
    // The bar's list reaches every item that has no nearer one.
    form.Menu1->SetImages(menuPictures);
    EXPECT_EQ(PictureColour(open), QColor(Qt::green));
    EXPECT_EQ(PictureColour(first), QColor(Qt::blue));
    recent->SetImages(nullptr);
    EXPECT_EQ(PictureColour(first), QColor(Qt::red));
    // An item added below a menu that has its list shows its picture at once.
    TMenuItem* later = form.Add(recent, "Later");
    later->SetImageIndex(1);
    EXPECT_EQ(PictureColour(later), QColor(Qt::green));
    later->SetImageIndex(-1);
    EXPECT_FALSE(PictureColour(later).isValid());
}

struct AcceleratorCase {
    const char* name;
    QStringList captions;
    QStringList expected;   // as QKeySequence writes Alt+letter, "" for none
};
void PrintTo(const AcceleratorCase& c, std::ostream* os) { *os << c.name; }

class GuiMenuAccelerators : public ::testing::TestWithParam<AcceleratorCase> {};

TEST_P(GuiMenuAccelerators, EachItemOfTheBarGetsItsOwnLetter)
{
    TMenuForm form(Application);
    std::vector<TMenuItem*> items;
    for (const QString& c : GetParam().captions) items.push_back(form.Add(form.Menu1, c));
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(items[i]->Caption().toStdString());
        EXPECT_EQ(Accelerator(items[i]), GetParam().expected[int(i)]);
        EXPECT_EQ(items[i]->Caption(), GetParam().captions[int(i)]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuiMenuAccelerators,
    ::testing::Values(
        AcceleratorCase{"FirstLettersWhileFree",
                        {"File", "Substances", "Lichens", "Search Configuration", "Calculate", "Cune", "Help"},
                        {"Alt+F", "Alt+S", "Alt+L", "Alt+C", "Alt+A", "Alt+U", "Alt+H"}},
        AcceleratorCase{"AMarkedLetterIsKeptAndReserved", {"File", "&Fix", "E&dit"}, {"Alt+I", "Alt+F", "Alt+D"}},
        AcceleratorCase{"DoubledAmpersandIsAPlainCharacter", {"A&&B", "AB"}, {"Alt+A", "Alt+B"}},
        AcceleratorCase{"NoLetterLeft", {"Ab", "Ba", "AB"}, {"Alt+A", "Alt+B", ""}}),
    [](const ::testing::TestParamInfo<AcceleratorCase>& info) { return std::string(info.param.name); });

TEST(GuiMenus, AltWithTheLetterRunsACommandItem)
{
    TMenuForm form(Application);
    TMenuItem* file = form.Add(form.Menu1, "File");
    form.Add(file, "Open");
    form.Add(form.Menu1, "Search");
    form.Show();
    QApplication::setActiveWindow(form.Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.Widget()));
    QTest::keyClick(form.Bottom->Widget(), Qt::Key_S, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(form.clicked, QStringList{"Search"});
    EXPECT_FALSE(file->Action()->menu()->isVisible());
}

TEST(GuiMenus, AnEmptyMenuShowsNoBar)
{
    TMenuForm form(Application);
    form.Show();
    EXPECT_FALSE(form.Menu1->MenuBar()->isVisible());
    EXPECT_EQ(form.ClientHeight(), 120);
    EXPECT_EQ(form.Widget()->height(), 120);
    EXPECT_EQ(form.ClientWidget()->y(), 0);

    TMenuItem* file = form.Add(form.Menu1, "File");
    EXPECT_TRUE(form.Menu1->MenuBar()->isVisible());
    EXPECT_EQ(form.ClientHeight(), 120);
    // Hidden items count as none.
    file->SetVisible(false);
    EXPECT_FALSE(form.Menu1->MenuBar()->isVisible());
    EXPECT_EQ(form.ClientHeight(), 120);
    EXPECT_EQ(form.Widget()->height(), 120);
}

// The bar's height is known only once it has items; a window sized by its
// client area keeps that area whenever the items come, before or after the
// first show and after a change of the window's font.
TEST(GuiMenus, TheClientAreaKeepsItsSizeUnderTheBar)
{
    for (bool itemsAfterShow : {false, true}) {
        SCOPED_TRACE(itemsAfterShow ? "items after the show" : "items before the show");
        TMenuForm form(Application);
        if (itemsAfterShow) form.Show();
        form.Add(form.Add(form.Menu1, "File"), "Open");
        form.Show();
        QApplication::processEvents();
        const int bar = form.Menu1->MenuBar()->height();
        EXPECT_GT(bar, 0);
        EXPECT_EQ(form.ClientHeight(), 120);
        EXPECT_EQ(form.ClientWidth(), 400);
        EXPECT_EQ(form.Widget()->height(), 120 + bar);
        EXPECT_EQ(form.ClientWidget()->geometry(), QRect(0, bar, 400, 120));
        const QRect bottom(form.Bottom->Widget()->mapTo(form.Widget(), QPoint(0, 0)), form.Bottom->Widget()->size());
        EXPECT_TRUE(form.Widget()->rect().contains(bottom));

        form.Font()->SetHeight(-20);
        QApplication::processEvents();
        EXPECT_GT(form.Menu1->MenuBar()->height(), bar);
        EXPECT_EQ(form.ClientHeight(), 120);
        EXPECT_EQ(form.ClientWidget()->height(), 120);
    }
}

// A window given its outer size keeps it: the bar's room comes from the client
// area.
TEST(GuiMenus, AnOuterSizeStaysWhenTheBarComes)
{
    TMenuForm form(Application);
    form.SetBounds(0, 0, 400, 300);
    form.Add(form.Menu1, "Search");
    form.Show();
    QApplication::processEvents();
    const int bar = form.Menu1->MenuBar()->height();
    EXPECT_EQ(form.Height(), 300);
    EXPECT_EQ(form.ClientHeight(), 300 - bar - (form.Height() - form.Widget()->height()));
}

// An auto-sized label keeps fitting its caption when its own font or its
// window's font grows after the caption was set.
TEST(GuiLabels, AnAutoSizedLabelFollowsItsFont)
{
    TMenuForm form(Application);
    auto* own = new TLabel(&form, &form);
    own->SetCaption("Thallus Spot Tests");
    auto* inherited = new TLabel(&form, &form);
    inherited->SetCaption("Lichen color under UV");
    own->Font()->SetHeight(-24);
    form.Font()->SetHeight(-20);
    for (TLabel* label : {own, inherited}) {
        SCOPED_TRACE(label->Caption().toStdString());
        QWidget* w = label->Widget();
        EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(label->Caption()));
        EXPECT_GE(w->height(), w->fontMetrics().height());
    }
}
