// Controls on real widgets (offscreen): change-only events, component order
// and Tag lookup, combo text kept, CR LF memos, list view selection order and
// row colours, font and row colours greyed when disabled and disabled text
// readable on the colours given, up-down and progress-bar clamping.
#include "support/ScriptedDialogs.h"
#include "support/TextLook.h"
#include "framework/Framework.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace {

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner = Application) : TForm(owner)
    {
        Name = "TestForm";
        SetClientWidth(400);
        SetClientHeight(300);
    }
};

struct GuiTest : ::testing::Test {
    std::unique_ptr<TTestForm> form = std::make_unique<TTestForm>();
};

TEST_F(GuiTest, CheckBoxClickRunsOnlyOnChange)
{
    auto* box = new TCheckBox(form.get(), form.get());
    box->SetBounds(10, 10, 120, 20);
    int clicks = 0;
    box->OnClick = [&](TObject* sender) { EXPECT_EQ(sender, box); ++clicks; };
    box->SetChecked(false);
    EXPECT_EQ(clicks, 0);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    form->Show();
    QTest::mouseClick(box->Widget(), Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box->Checked());
}

TEST_F(GuiTest, RadioGroupItemIndexRunsOnlyOnChange)
{
    auto* group = new TRadioGroup(form.get(), form.get());
    group->SetBounds(10, 10, 150, 80);
    group->Items()->Add("RF Error");
    group->Items()->Add("Correlation");
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->SetItemIndex(0);
    EXPECT_EQ(clicks, 1);
    group->SetItemIndex(0);
    EXPECT_EQ(clicks, 1);
    group->SetItemIndex(1);
    EXPECT_EQ(clicks, 2);
    form->Show();
    auto buttons = group->Widget()->findChildren<QRadioButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QTest::mouseClick(buttons[0], Qt::LeftButton, {}, QPoint(5, buttons[0]->height() / 2));
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(clicks, 3);
    QTest::mouseClick(buttons[0], Qt::LeftButton, {}, QPoint(5, buttons[0]->height() / 2));
    EXPECT_EQ(clicks, 3);   // no change, no click
}

TEST_F(GuiTest, EditTextRunsOnChangeOnlyOnChange)
{
    auto* edit = new TEdit(form.get(), form.get());
    edit->SetBounds(10, 10, 100, 20);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText("");
    EXPECT_EQ(changes, 0);
    edit->SetText("12");
    edit->SetText("12");
    EXPECT_EQ(changes, 1);
    form->Show();
    edit->SetFocus();
    QTest::keyClick(edit->Widget(), Qt::Key_3);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->Text(), "123");
}

TEST_F(GuiTest, EditNumbersOnlyMaxLengthAndKeyDown)
{
    auto* edit = new TEdit(form.get(), form.get());
    edit->SetNumbersOnly(true);
    edit->SetMaxLength(2);
    std::vector<WORD> keys;
    edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.push_back(key); };
    form->Show();
    QTest::keyClicks(edit->Widget(), "a1b23");
    EXPECT_EQ(edit->Text(), "12");
    QTest::keyClick(edit->Widget(), Qt::Key_Return);
    QTest::keyClick(edit->Widget(), Qt::Key_Up);
    QTest::keyClick(edit->Widget(), Qt::Key_Down);
    ASSERT_GE(keys.size(), 3u);
    EXPECT_EQ(keys[0], 'A');
    EXPECT_EQ(keys[keys.size() - 3], VK_RETURN);
    EXPECT_EQ(keys[keys.size() - 2], VK_UP);
    EXPECT_EQ(keys.back(), VK_DOWN);
}

TEST_F(GuiTest, ComboTextKeptWhileItemsAddedAndCleared)
{
    auto* combo = new TComboBox(form.get(), form.get());
    combo->SetText("No Result");
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->Items()->Add("");
    combo->Items()->Add("White");
    combo->AddItem("Brown");
    EXPECT_EQ(combo->Text(), "No Result");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->Items()->Clear();
    EXPECT_EQ(combo->Text(), "No Result");
    EXPECT_EQ(changes, 0);
    combo->Items()->Add("White");
    combo->SetText("White");
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(changes, 1);
    combo->SetText("White");
    EXPECT_EQ(changes, 1);
    combo->Items()->Insert(0, "Black");
    EXPECT_EQ(combo->Text(), "White");
    EXPECT_EQ(combo->ItemIndex(), 1);

    auto* list = new TComboBox(form.get(), form.get());
    list->SetStyle(csDropDownList);
    list->Items()->Add("a");
    EXPECT_EQ(list->ItemIndex(), -1);   // Qt would select the first item
    EXPECT_EQ(list->Text(), "");
    list->SetItemIndex(0);
    EXPECT_EQ(list->Text(), "a");
    list->Items()->Add("b");
    EXPECT_EQ(list->Text(), "a");
}

TEST_F(GuiTest, MemoLinesUseCrLfBothWays)
{
    auto* memo = new TMemo(form.get(), form.get());
    memo->SetText("a\r\nb\nc");
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(1), "b");
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc");
    memo->Lines()->Clear();
    memo->Lines()->Add("x");
    memo->Lines()->Add("y");
    EXPECT_EQ(memo->Text(), "x\r\ny");
    EXPECT_EQ(memo->Lines()->Text(), "x\r\ny");
    TStringList plain;
    plain.SetText("p\r\nq\r\n");
    EXPECT_EQ(plain.Count(), 2);
    EXPECT_EQ(plain.Text(), "p\r\nq\r\n");
    memo->SetText("");
    EXPECT_EQ(memo->Lines()->Count(), 0);
}

TEST_F(GuiTest, ComponentOrderAndFirstTagLookup)
{
    auto* a = new TEdit(form.get(), form.get());
    a->Name = "AEdit";
    a->Tag = 5;
    auto* panel = new TPanel(form.get(), form.get());
    auto* b = new TEdit(form.get(), panel);
    b->Name = "BEdit";
    b->Tag = 5;
    ASSERT_EQ(form->ComponentCount(), 3);
    EXPECT_EQ(form->Components(0), a);
    EXPECT_EQ(form->Components(1), panel);
    EXPECT_EQ(form->Components(2), b);
    TComponent* first = nullptr;
    for (int i = 0; i < form->ComponentCount() && !first; ++i)
        if (form->Components(i)->Tag == 5) first = form->Components(i);
    EXPECT_EQ(first, a);
    EXPECT_EQ(form->FindComponent("BEdit"), b);
    EXPECT_EQ(form->FindComponent("bedit"), nullptr);
    EXPECT_EQ(b->Parent(), panel);
    delete a;
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->Components(0), panel);
}

TEST_F(GuiTest, ListViewSelectedRowsInListOrderAndRowColours)
{
    auto* view = new TListView(form.get(), form.get());
    view->SetBounds(0, 0, 400, 200);
    view->SetMultiSelect(true);
    view->Columns()->Add()->SetCaption("Name");
    view->Columns()->Add()->SetCaption("A");
    int changes = 0;
    view->OnChange = [&](TObject*, TListItem*, TItemChange) { ++changes; };
    for (QString caption : {"Spot 1", "Atranorin", "Spot 2 - Cune", "Zeorin"}) {
        TListItem* item = view->Items()->Add();
        item->SetCaption(caption);
        item->SubItems()->Add("12");
    }
    EXPECT_GT(changes, 0);
    EXPECT_EQ(view->Tree()->topLevelItem(0)->text(1), "12");
    std::vector<std::pair<TListItem*, bool>> events;
    view->OnSelectItem = [&](TObject*, TListItem* item, bool selected) { events.push_back({item, selected}); };
    view->Items()->Item(3)->SetSelected(true);
    view->Items()->Item(1)->SetSelected(true);
    auto sel = view->SelectedItems();
    ASSERT_EQ(sel.size(), 2u);
    EXPECT_EQ(sel[0]->Caption(), "Atranorin");
    EXPECT_EQ(sel[1]->Caption(), "Zeorin");
    EXPECT_EQ(view->Selected()->Caption(), "Atranorin");
    EXPECT_EQ(events.size(), 2u);

    view->OnCustomDrawItem = [&](TObject* sender, TListItem* item, TCustomDrawState, bool&) {
        auto* lv = static_cast<TListView*>(sender);
        if (item->Caption().startsWith("Spot") && !item->Caption().contains("Cune")) lv->Canvas()->Brush->Color = clSilver;
        else if (item->Caption().contains("Cune")) lv->Canvas()->Brush->Color = clSkyBlue;
    };
    EXPECT_EQ(view->RowColors(view->Items()->Item(0)).first, clSilver);
    EXPECT_FALSE(view->RowColors(view->Items()->Item(1)).first.isValid());
    EXPECT_EQ(view->RowColors(view->Items()->Item(2)).first, clSkyBlue);
    view->ClearSelection();
    form->Show();
    QImage shot = form->Widget()->grab().toImage();
    QRect row0 = view->Tree()->visualItemRect(view->Tree()->topLevelItem(0));
    // Behind the caption's text, where only the row's background shows.
    QPoint p = view->Tree()->viewport()->mapTo(form->Widget(), QPoint(view->Tree()->columnWidth(0) - 3, row0.center().y()));
    EXPECT_EQ(QColor(shot.pixel(p)), clSilver);

    int column = -1;
    view->OnColumnClick = [&](TObject*, TListColumn* c) { column = c->Index(); };
    view->Columns()->Items(1)->SetCaption("(A)");
    EXPECT_EQ(view->Tree()->headerItem()->text(1), "(A)");
    view->Items()->Delete(1);
    EXPECT_EQ(view->Items()->Count(), 3);
    view->Clear();
    EXPECT_EQ(view->Items()->Count(), 0);
}

// True when some pixel of the picture is plainly of the colour (its hue
// stands out against the greys of a disabled text).
bool ShowsColour(const QImage& shot, const QColor& colour)
{
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c(shot.pixel(x, y));
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) < 60)
                return true;
        }
    return false;
}

// A control's font colour and a list row's custom text colour are drawn
// while the control is enabled; disabled, greys are.
TEST_F(GuiTest, FontAndRowColoursGiveWayToTheDisabledLook)
{
    auto* button = new TButton(form.get(), form.get());
    button->SetBounds(10, 10, 120, 30);
    button->SetCaption("Save");
    auto* box = new TCheckBox(form.get(), form.get());
    box->SetBounds(10, 50, 160, 20);
    box->SetCaption("Read only");
    auto* label = new TLabel(form.get(), form.get());
    label->SetBounds(10, 80, 120, 20);
    label->SetCaption("UVCort");
    auto* view = new TListView(form.get(), form.get());
    view->SetBounds(10, 110, 200, 80);
    view->Columns()->Add()->SetCaption("Name");
    view->Items()->Add()->SetCaption("Spot 1");
    view->OnCustomDrawItem = [](TObject* sender, TListItem*, TCustomDrawState, bool&) {
        static_cast<TListView*>(sender)->Canvas()->Font->SetColor(clBlue);
    };
    for (TControl* c : std::initializer_list<TControl*>{button, box, label}) {
        c->Font()->SetColor(clBlue);
        c->Font()->SetBold(true);
    }
    form->Show();
    struct Case { TControl* control; QWidget* drawn; };
    for (const Case& c : {Case{button, button->Widget()}, Case{box, box->Widget()}, Case{label, label->Widget()},
                          Case{view, view->Tree()->viewport()}}) {
        SCOPED_TRACE(c.drawn->metaObject()->className());
        EXPECT_TRUE(ShowsColour(c.drawn->grab().toImage(), clBlue));
        c.control->SetEnabled(false);
        EXPECT_FALSE(ShowsColour(c.drawn->grab().toImage(), clBlue));
        c.control->SetEnabled(true);
        EXPECT_TRUE(ShowsColour(c.drawn->grab().toImage(), clBlue));
    }
}

// Published ratios: black on white, the mid grey that just misses 4.5:1 on
// white, and a colour on itself.
TEST(ContrastRatio, MatchesTheRelativeLuminanceRatio)
{
    struct Case { QColor a, b; double ratio; } cases[] = {
        {clBlack, clWhite, 21.0}, {clWhite, clBlack, 21.0}, {QColor(0x77, 0x77, 0x77), clWhite, 4.48},
        {QColor(0x76, 0x76, 0x76), clWhite, 4.54}, {clSkyBlue, clSkyBlue, 1.0}, {clBlue, clWhite, 8.59}};
    for (const Case& c : cases) EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01) << qPrintable(c.a.name());
}

// On light, coloured and dark backgrounds the greyed text is readable, yet
// plainly weaker than the enabled text, and grey: no hue of its own.
TEST(ReadableDisabledText, ReadableAndGreyedOnEveryBackground)
{
    struct Case { QColor background, enabled; } cases[] = {
        {QColor(0xef, 0xef, 0xef), clBlack}, {clSkyBlue, clBlack}, {clWhite, clBlack}, {clYellow, clBlack},
        {clWhite, clBlue}, {QColor(0x35, 0x35, 0x35), clWhite}, {QColor(0, 0, 128), clWhite}};
    for (const Case& c : cases) {
        const QColor greyed = ReadableDisabledText(c.background, c.enabled);
        SCOPED_TRACE((c.background.name() + " " + c.enabled.name() + " -> " + greyed.name()).toStdString());
        EXPECT_GE(ContrastRatio(greyed, c.background), 4.5);
        EXPECT_LE(ContrastRatio(greyed, c.background), 5.0);
        EXPECT_GE(ContrastRatio(greyed, c.enabled), 1.5);
        // Its hue is the background's: no channel strays from the grey
        // line more than the background's do.
        auto spread = [](const QColor& x) { return std::max({x.red(), x.green(), x.blue()}) - std::min({x.red(), x.green(), x.blue()}); };
        EXPECT_LE(spread(greyed), spread(c.background));
    }
    // Text that is faint even enabled cannot be greyed and still read.
    EXPECT_EQ(ReadableDisabledText(clSkyBlue, clGray), clGray);
}

// Colours given after the controls stand, to a panel under a check box, to
// an edit and to a list row, still leave disabled text readable on them.
TEST_F(GuiTest, DisabledTextStaysReadableOnColoursGivenLater)
{
    auto* panel = new TPanel(form.get(), form.get());
    panel->SetBounds(0, 0, 400, 300);
    auto* box = new TCheckBox(form.get(), panel);
    box->SetBounds(10, 10, 200, 24);
    box->SetCaption("Visible in short-wave UV");
    auto* edit = new TEdit(form.get(), panel);
    edit->SetBounds(10, 50, 200, 24);
    edit->SetText("No Result");
    auto* view = new TListView(form.get(), panel);
    view->SetBounds(10, 90, 200, 80);
    view->Columns()->Add()->SetCaption("Name");
    view->Columns()->Items(0)->SetWidth(180);
    view->Items()->Add()->SetCaption("Atranorin");
    QColor rowColour = clYellow;
    view->OnCustomDrawItem = [&](TObject* sender, TListItem*, TCustomDrawState, bool&) {
        static_cast<TListView*>(sender)->Canvas()->Brush->Color = rowColour;
    };
    form->Show();
    QStyleOptionButton o;
    o.initFrom(box->Widget());
    o.text = box->Caption();
    struct Case { const char* what; std::function<void()> colour; TControl* control; QWidget* drawn; QRect area; } cases[] = {
        {"sky-blue panel", [&] { panel->SetColor(clSkyBlue); }, box, box->Widget(),
         box->Widget()->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, box->Widget())},
        {"dark panel, white caption", [&] { panel->SetColor(QColor(0, 0, 128)); box->Font()->SetColor(clWhite); }, box,
         box->Widget(), box->Widget()->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, box->Widget())},
        {"yellow edit", [&] { edit->SetColor(clYellow); }, edit, edit->Widget(), edit->Widget()->rect().adjusted(4, 4, -4, -4)},
        {"dark row, white text", [&] { rowColour = QColor(0, 0, 128); view->Font()->SetColor(clWhite); }, view,
         view->Tree()->viewport(), view->Tree()->visualItemRect(view->Tree()->topLevelItem(0))},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.colour();
        c.control->SetEnabled(false);
        QApplication::processEvents();
        const auto [background, disabled] = TextLookOf(c.drawn->grab(c.area).toImage());
        c.control->SetEnabled(true);
        QApplication::processEvents();
        const auto [enabledBackground, enabled] = TextLookOf(c.drawn->grab(c.area).toImage());
        EXPECT_EQ(background, enabledBackground);
        EXPECT_GE(ContrastRatio(disabled, background), 3.0) << qPrintable(disabled.name() + " on " + background.name());
        EXPECT_GE(ContrastRatio(disabled, enabled), 1.5) << qPrintable(disabled.name() + " " + enabled.name());
    }
}

TEST_F(GuiTest, UpDownPositionFromCodeFiresNothingAndClamps)
{
    auto* ud = new TUpDown(form.get(), form.get());
    ud->SetMin(0);
    ud->SetMax(100);
    int clicks = 0;
    ud->OnClick = [&](TObject*, TUDBtnType) { ++clicks; };
    ud->SetPosition(2);
    ud->SetPosition(250);
    EXPECT_EQ(ud->Position(), 100);
    ud->SetPosition(-4);
    EXPECT_EQ(ud->Position(), 0);
    EXPECT_EQ(clicks, 0);
    form->Show();
    QTest::mouseClick(ud->UpButton(), Qt::LeftButton);
    EXPECT_EQ(ud->Position(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(GuiTest, ProgressBarClamps)
{
    auto* bar = new TProgressBar(form.get(), form.get());
    bar->SetPosition(150);
    EXPECT_EQ(bar->Position(), 100);
    bar->SetPosition(-1);
    EXPECT_EQ(bar->Position(), 0);
    bar->SetPosition(42);
    EXPECT_EQ(bar->Position(), 42);
}

TEST_F(GuiTest, ListBoxSortedDeleteSelectedAndMouseDown)
{
    auto* box = new TListBox(form.get(), form.get());
    box->SetBounds(0, 0, 200, 150);
    box->SetSorted(true);
    box->Items()->Add("beta");
    box->Items()->Add("Alpha");
    box->Items()->Add("gamma");
    EXPECT_EQ(box->Items()->ToStringList(), QStringList({"Alpha", "beta", "gamma"}));
    box->SetItemIndex(1);
    EXPECT_EQ(box->ItemIndex(), 1);
    box->DeleteSelected();
    EXPECT_EQ(box->Items()->ToStringList(), QStringList({"Alpha", "gamma"}));
    int y = -1;
    TMouseButton button = mbLeft;
    box->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int Y) { y = Y; button = b; };
    form->Show();
    QTest::mouseClick(box->List()->viewport(), Qt::RightButton, {}, QPoint(10, 25));
    EXPECT_EQ(y, 25);
    EXPECT_EQ(button, mbRight);
    EXPECT_EQ(box->ItemAtPos(5, 2), 0);
    EXPECT_EQ(box->ItemAtPos(5, 140), -1);
}

TEST_F(GuiTest, ImageCanvasTextAndFileDialog)
{
    auto* image = new TImage(form.get(), form.get());
    image->SetBounds(0, 0, 200, 100);
    image->ClearPicture();
    image->Canvas()->Font->SetSize(20);
    image->Canvas()->TextOut(10, 10, "No images found");
    EXPECT_EQ(image->Picture().size(), QSize(200, 100));
    bool inked = false;
    for (int y = 0; y < 100 && !inked; ++y)
        for (int x = 0; x < 200 && !inked; ++x)
            inked = QColor(image->Picture().pixel(x, y)) != Qt::white;
    EXPECT_TRUE(inked);

    TSaveDialog dialog(form.get());
    dialog.Filter = "Spot files (*.spot)|*.spot";
    dialog.DefaultExt = "spot";
    EXPECT_FALSE(dialog.Execute());
    TestDialogs().NextFileName("/tmp/x/plate1");
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "/tmp/x/plate1.spot");
    EXPECT_TRUE(TestDialogs().FileRequests().back().Save);
}

TEST_F(GuiTest, DoubleClicksReachEditsListViewsAndListBoxes)
{
    auto* edit = new TEdit(form.get(), form.get());
    edit->SetBounds(0, 0, 100, 20);
    auto* view = new TListView(form.get(), form.get());
    view->SetBounds(0, 30, 300, 100);
    view->Columns()->Add()->SetCaption("Name");
    view->Items()->Add()->SetCaption("Atranorin");
    auto* box = new TListBox(form.get(), form.get());
    box->SetBounds(0, 140, 200, 100);
    box->Items()->Add("Usnic acid");
    std::vector<TObject*> senders;
    for (TControl* c : std::initializer_list<TControl*>{edit, view, box})
        c->OnDblClick = [&](TObject* sender) { senders.push_back(sender); };
    form->Show();
    QTest::mouseDClick(edit->Widget(), Qt::LeftButton, {}, QPoint(5, 5));
    QRect row = view->Tree()->visualItemRect(view->Tree()->topLevelItem(0));
    QTest::mouseDClick(view->Tree()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(box->List()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(senders, (std::vector<TObject*>{edit, view, box}));
}
} // namespace

namespace {

// A tool bar given its image list after its buttons took their picture
// indexes shows the pictures; another list or none follows. Seen in the
// pixels of the button.
TEST_F(GuiTest, ToolBarGivenItsImagesLaterShowsThePictures)
{
    auto* bar = new TToolBar(form.get(), form.get());
    bar->SetBounds(0, 0, 200, 26);
    auto* button = new TToolButton(form.get(), bar);
    button->SetCaption("Go");
    button->SetImageIndex(1);
    form->Show();
    auto solid = [](QColor colour) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(colour);
        return image;
    };
    auto* red = new TImageList(form.get());
    red->Add(solid(Qt::blue));
    red->Add(solid(Qt::red));
    auto* green = new TImageList(form.get());
    green->Add(solid(Qt::blue));
    green->Add(solid(Qt::green));
    auto centre = [&] {
        QApplication::processEvents();
        const QImage shot = button->Button()->grab().toImage();
        return QColor(shot.pixel(shot.rect().center()));
    };
    const QColor before = centre();
    ASSERT_NE(before, QColor(Qt::red));

    bar->SetImages(red);
    EXPECT_EQ(centre(), QColor(Qt::red));
    bar->SetImages(green);
    EXPECT_EQ(centre(), QColor(Qt::green));
    bar->SetImages(nullptr);
    EXPECT_EQ(centre(), before);
}

} // namespace
