// Disabled controls are drawn greyed whatever colour their font names, and
// still readable: measured on pixels grabbed from the program's own windows,
// the text of a disabled push button, check box or colour box, of a
// disabled menu item or bar title, of a file dialog's disabled button and
// of a message box's disabled button and text is lighter than that of an
// enabled one and stands out from what it is drawn on.
#include "all_windows_kit.h"
#include "support/MenuInput.h"
#include "support/RealFileDialogs.h"

#include "config/SearchConfig.h"
#include "core/FormMapping.h"
#include "core/HelpWindow.h"
#include "identify/InputValues.h"
#include "substances/RecordList.h"
#include "substances/ViewRecord.h"
#include "support/TextLook.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTextBrowser>
#include <QTimer>

#include <functional>


namespace {

// Where the control draws its text, in its own coordinates.
QRect TextArea(QWidget* w)
{
    QStyle* style = w->style();
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton o;
        o.initFrom(b);
        o.text = b->text();
        return style->subElementRect(QStyle::SE_PushButtonContents, &o, b);
    }
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton o;
        o.initFrom(c);
        o.text = c->text();
        return style->subElementRect(QStyle::SE_CheckBoxContents, &o, c);
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox o;
        o.initFrom(c);
        o.editable = c->isEditable();
        return style->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, c);
    }
    return w->rect();
}

// The grey level (0 black .. 255 white) of the darkest pixel of the
// control's text as its window shows it: the strokes of a caption are the
// darkest thing in its area.
int TextLevel(QWidget* w)
{
    QWidget* window = w->window();
    QApplication::processEvents();
    const QRect area = TextArea(w).intersected(w->rect());
    const QImage shot = window->grab(QRect(w->mapTo(window, area.topLeft()), area.size())).toImage();
    int darkest = 255;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) darkest = std::min(darkest, qGray(shot.pixel(x, y)));
    return darkest;
}

// How much lighter a greyed text is at least: the style's disabled text is
// a light grey, an enabled one black.
constexpr int Greyed = 60;

// The control itself or the nearest of its parents that was disabled.
QWidget* DisabledAt(QWidget* w)
{
    while (w && !w->testAttribute(Qt::WA_Disabled)) w = w->parentWidget();
    return w;
}

// The text level of a disabled control, and of the same control drawn
// enabled (its disabled parent, if that is what disables it, enabled for the
// moment of the grab).
std::pair<int, int> DisabledAndEnabledLevels(QWidget* w)
{
    const int disabled = TextLevel(w);
    QWidget* off = DisabledAt(w);
    off->setEnabled(true);
    const int enabled = TextLevel(w);
    off->setEnabled(false);
    return {disabled, enabled};
}

void ShowWindow(TForm* form)
{
    form->Show();
    QApplication::processEvents();
}

// What a control's text area shows in its window.
TextLook LookOf(QWidget* w)
{
    QWidget* window = w->window();
    QApplication::processEvents();
    const QRect area = TextArea(w).intersected(w->rect());
    return TextLookOf(window->grab(QRect(w->mapTo(window, area.topLeft()), area.size())).toImage());
}

// The name of the form's control that is drawn by the widget.
QString NameOf(TForm* form, QWidget* w)
{
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(form->Components(i)); c && c->Widget() == w) return c->Name;
    return w->metaObject()->className();
}

// Opens a comparison window from the record window as the user does: a
// right click on the related compound, then "Compare" in its menu.
TForm* OpenComparisonWindow(TViewRecordForm* f)
{
    QWidget* window = f->Widget();
    QListWidget* related = f->BioRelatedListBox->List();
    const QPoint at = related->visualItemRect(related->item(0)).center();
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, related->viewport()->mapTo(window, at));
    QMenu* menu = f->PopupMenu1->SubMenu();
    if (!menu->isVisible()) return nullptr;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(f->Compare1->Action()).center());
    QApplication::processEvents();
    return FindFormByName(QStringLiteral("Compare1"));
}

// The push button of the dialog whose caption reads so without its
// accelerator mark.
QPushButton* ButtonOf(QWidget* dialog, const QString& caption)
{
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->isVisible() && QString(b->text()).remove(u'&') == caption) return b;
    return nullptr;
}

// The look of each caption of an open menu, the disabled and the enabled
// items apart.
struct MenuItemLooks {
    std::vector<std::pair<QString, TextLook>> disabled, enabled;
};

MenuItemLooks LooksOfItems(QMenu* menu)
{
    MenuItemLooks looks;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible() || a->isSeparator() || a->text().isEmpty()) continue;
        const TextLook look = TextLookOf(menu->grab(MenuItemTextArea(menu, a)).toImage());
        (a->isEnabled() ? looks.enabled : looks.disabled).emplace_back(a->text().section(u'\t', 0, 0), look);
    }
    return looks;
}

// Right-clicks the field as the user does and hands the menu that then
// opens to `look` before closing it; whether a field shows its menu and
// goes on, or waits in it, the menu is seen while open. False when no menu
// opened.
bool WithContextMenuOf(QWidget* field, const std::function<void(QMenu*)>& look)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible()) return;
        poll.stop();
        seen = true;
        look(menu);
        menu->close();
    });
    poll.start(10);
    QWidget* window = field->window();
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, field->mapTo(window, field->rect().center()));
    for (int waited = 0; !seen && waited < 2000; waited += 10) QTest::qWait(10);
    poll.stop();
    return seen;
}

} // namespace

using DisabledLook = AllWindows;

// First start: "Default.scfg" is current, so "Save" is disabled while
// "Save as..." is enabled.
TEST_F(DisabledLook, SearchConfigurationSaveIsGreyedBesideSaveAs)
{
    TSearchConfigForm* f = SearchConfigForm;
    ShowWindow(f);
    ASSERT_FALSE(f->SaveButton->Widget()->isEnabled());
    ASSERT_TRUE(f->SaveAsButton->Widget()->isEnabled());
    ASSERT_TRUE(f->UseTLCCheckbox->Widget()->isEnabled());
    const int save = TextLevel(f->SaveButton->Widget());
    EXPECT_GE(save - TextLevel(f->SaveAsButton->Widget()), Greyed) << save;
    // A check box of the window, disabled by the program's own call.
    f->UseTLCCheckbox->SetEnabled(false);
    const auto [disabled, enabled] = DisabledAndEnabledLevels(f->UseTLCCheckbox->Widget());
    EXPECT_GE(disabled - TextLevel(f->UseUVCheckbox->Widget()), Greyed) << disabled << " " << enabled;
    f->UseTLCCheckbox->SetEnabled(true);
    f->Hide();
}

// The read-only record window: its Save, its check boxes and its colour
// boxes are disabled; "Close" and "Read only" stay enabled.
TEST_F(DisabledLook, ReadOnlyRecordWindowGreysWhatCannotBeChanged)
{
    ShowSubstanceRecord(QStringLiteral("Atranorin"));
    TViewRecordForm* f = ViewRecordForm;
    QApplication::processEvents();
    ASSERT_TRUE(f->ReadOnlyCheckBox->Checked());
    const int close = TextLevel(f->CloseButton->Widget());
    const int readOnly = TextLevel(f->ReadOnlyCheckBox->Widget());
    EXPECT_GE(TextLevel(f->SaveButton->Widget()) - close, Greyed);
    for (TCheckBox* box : {f->BefVisCheckBox, f->BefUVSCheckBox}) {
        SCOPED_TRACE(box->Name.toStdString());
        ASSERT_FALSE(box->Widget()->isEnabled());
        EXPECT_GE(TextLevel(box->Widget()) - readOnly, Greyed);
    }
    for (TComboBox* combo : {f->BefUVLCombo, f->ArchersCombo, f->KCombo, f->UVMedullaCombo}) {
        SCOPED_TRACE(combo->Name.toStdString());
        ASSERT_EQ(combo->Text(), QStringLiteral("No Result"));
        const auto [disabled, enabled] = DisabledAndEnabledLevels(combo->Widget());
        EXPECT_GE(disabled - enabled, Greyed) << disabled << " " << enabled;
    }
    // Editable, the same controls are drawn as enabled ones.
    f->ReadOnlyCheckBox->SetChecked(false);
    QApplication::processEvents();
    EXPECT_LT(std::abs(TextLevel(f->SaveButton->Widget()) - close), Greyed);
    EXPECT_LT(std::abs(TextLevel(f->BefVisCheckBox->Widget()) - readOnly), Greyed);
    f->ReadOnlyCheckBox->SetChecked(true);
}

// At the start nothing is selected, so the main window's lichen count button
// is disabled; "Add TLC Spot" is not. With the thallus switch off the labels
// over the thallus columns are greyed too.
TEST_F(DisabledLook, MainWindowLichenButtonAndThallusLabelsAreGreyed)
{
    ShowWindow(Form1);
    ASSERT_FALSE(Form1->ViewLichensButton->Widget()->isEnabled());
    ASSERT_TRUE(Form1->Button1->Widget()->isEnabled());
    EXPECT_GE(TextLevel(Form1->ViewLichensButton->Widget()) - TextLevel(Form1->Button1->Widget()), Greyed);
    ASSERT_FALSE(Form1->UseThallusCheckbox->Checked());
    int labels = 0;
    for (QLabel* label : Form1->Panel4->Widget()->findChildren<QLabel*>()) {
        if (label->text().trimmed().isEmpty()) continue;
        SCOPED_TRACE(label->text().toStdString());
        ++labels;
        ASSERT_FALSE(label->isEnabled());
        const auto [disabled, enabled] = DisabledAndEnabledLevels(label);
        EXPECT_GE(disabled - enabled, Greyed) << disabled << " " << enabled;
    }
    EXPECT_EQ(labels, 6);
}

// Every disabled push button and check box of every window, in the states
// the windows have at the start and with a record shown, is drawn lighter
// than the same control drawn enabled, and readable on its window.
TEST_F(DisabledLook, EveryDisabledButtonAndCheckBoxOfTheProgramIsGreyed)
{
    ShowSubstanceRecord(QStringLiteral("Atranorin"));
    int disabledCount = 0;
    for (TForm* form : Windows()) {
        const bool wasShowing = form->Showing();
        ShowWindow(form);
        QWidget* window = form->Widget();
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if (!qobject_cast<QPushButton*>(b) && !qobject_cast<QCheckBox*>(b)) continue;
            if (!b->isVisibleTo(window) || b->isEnabled() || b->text().trimmed().isEmpty()) continue;
            SCOPED_TRACE((form->Name + ": " + b->text()).toStdString());
            ++disabledCount;
            const auto [disabled, enabled] = DisabledAndEnabledLevels(b);
            EXPECT_GE(disabled - enabled, Greyed) << disabled << " " << enabled;
            const TextLook look = LookOf(b);
            EXPECT_GE(look.Contrast(), 3.0) << qPrintable(look.ink.name()) << " on " << qPrintable(look.background.name());
        }
        if (!wasShowing) form->Hide();
    }
    // The main window's lichen and "All Matches" buttons, the search
    // configuration's Save, the record window's Save and two check boxes,
    // the cune window's "Add to table" and "Accept".
    EXPECT_EQ(disabledCount, 8);
}

// With the read-only record window and a comparison window open, the text
// of every disabled push button, check box and colour box of the shown
// windows is readable on what it is drawn on, the comparison window's sky
// blue included, and still lighter than the same control's enabled text.
TEST_F(DisabledLook, DisabledTextIsReadableOnEveryBackgroundItIsDrawnOn)
{
    // The compared record has a value in each colour box too.
    db->Exec(QStringLiteral("UPDATE Substances SET BefUVL = 'No Result', Archers = 'No Result', AftVis = 'No Result', "
                            "AftUV = 'No Result', KResult = 'No Result', CResult = 'No Result', KCResult = 'No Result', "
                            "PDResult = 'No Result', Cortex = 'No Result', Medulla = 'No Result' "
                            "WHERE name = 'Chloroatranorin'"));
    db->CloseHandle();
    ShowSubstanceRecord(QStringLiteral("Atranorin"));
    TForm* compare = OpenComparisonWindow(ViewRecordForm);
    ASSERT_TRUE(compare);
    ASSERT_TRUE(compare->Showing());
    int disabledCount = 0;
    int onSkyBlue = 0;
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TForm*>(Application->Components(i));
        if (!form || !form->Showing()) continue;
        QWidget* window = form->Widget();
        std::vector<QWidget*> controls;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
            if ((qobject_cast<QPushButton*>(b) || qobject_cast<QCheckBox*>(b)) && !b->text().trimmed().isEmpty())
                controls.push_back(b);
        for (QComboBox* c : window->findChildren<QComboBox*>())
            if (!c->currentText().trimmed().isEmpty()) controls.push_back(c);
        for (QWidget* w : controls) {
            if (!w->isVisibleTo(window) || w->isEnabled()) continue;
            SCOPED_TRACE((form->Name + ": " + NameOf(form, w)).toStdString());
            ++disabledCount;
            const TextLook disabled = LookOf(w);
            QWidget* off = DisabledAt(w);
            off->setEnabled(true);
            const TextLook enabled = LookOf(w);
            off->setEnabled(false);
            if (form == compare && ContrastRatio(disabled.background, clSkyBlue) < 1.1) ++onSkyBlue;
            EXPECT_GE(disabled.Contrast(), 3.0) << qPrintable(disabled.ink.name()) << " on "
                                                << qPrintable(disabled.background.name());
            EXPECT_GE(qGray(disabled.ink.rgb()) - qGray(enabled.ink.rgb()), Greyed)
                << qPrintable(disabled.ink.name()) << " " << qPrintable(enabled.ink.name());
        }
    }
    // The main window's lichen and "All Matches" buttons; the record
    // window's Save, two check boxes and ten colour boxes; the comparison
    // window's two check boxes and ten colour boxes.
    EXPECT_EQ(disabledCount, 27);
    // The comparison window's check boxes are measured on its sky blue.
    EXPECT_EQ(onSkyBlue, 2);
}

// Every disabled item of every drop-down of every window's bar, opened with a
// click on the bar and measured on the open drop-down, reads at 3:1 on it
// and is plainly lighter than the enabled items beside it.
TEST_F(DisabledLook, EveryDisabledMenuItemOfTheProgramIsGreyed)
{
    QStringList disabledItems;
    for (TForm* form : Windows()) {
        if (!form->Menu() || !form->Menu()->HasVisibleItems()) continue;
        const bool wasShowing = form->Showing();
        ShowWindow(form);
        for (int i = 0; i < form->Menu()->Count(); ++i) {
            TMenuItem* title = form->Menu()->Items(i);
            if (!title->Visible() || title->Count() == 0) continue;
            SCOPED_TRACE((form->Name + " / " + title->Caption()).toStdString());
            QMenu* menu = OpenDropDown(form->Menu()->MenuBar(), title);
            ASSERT_TRUE(menu);
            const MenuItemLooks looks = LooksOfItems(menu);
            int enabledInk = -1;   // the palest ink of an enabled item
            for (const auto& [text, look] : looks.enabled) enabledInk = std::max(enabledInk, qGray(look.ink.rgb()));
            for (const auto& [text, look] : looks.disabled) {
                SCOPED_TRACE(text.toStdString());
                disabledItems << text;
                EXPECT_GE(look.Contrast(), 3.0) << qPrintable(look.ink.name()) << " on " << qPrintable(look.background.name());
                ASSERT_GE(enabledInk, 0) << "no enabled item beside it";
                EXPECT_GE(qGray(look.ink.rgb()) - enabledInk, Greyed) << qPrintable(look.ink.name());
            }
            CloseDropDowns();
        }
        if (!wasShowing) form->Hide();
    }
    // Offline and without spots: the main window's "Save spot file",
    // "Export Spots as CSV", "Update Substance Data", "Update Lichen Data"
    // and "HPLC-RI"; the search configuration's "Save" of "Default.scfg".
    EXPECT_EQ(disabledItems.size(), 6) << qPrintable(disabledItems.join(", "));
}

// Each title of each window's bar, disabled for the moment of the grab,
// reads at 3:1 on the bar and is plainly lighter than the enabled titles.
TEST_F(DisabledLook, EveryTitleOfABarIsGreyedWhenDisabled)
{
    int titles = 0;
    for (TForm* form : Windows()) {
        if (!form->Menu() || !form->Menu()->HasVisibleItems()) continue;
        const bool wasShowing = form->Showing();
        ShowWindow(form);
        QMenuBar* bar = form->Menu()->MenuBar();
        auto look = [bar](TMenuItem* title) {
            QApplication::processEvents();
            return TextLookOf(bar->grab(bar->actionGeometry(title->Action()).adjusted(2, 2, -2, -2)).toImage());
        };
        for (int i = 0; i < form->Menu()->Count(); ++i) {
            TMenuItem* title = form->Menu()->Items(i);
            if (!title->Visible()) continue;
            SCOPED_TRACE((form->Name + " / " + title->Caption()).toStdString());
            ++titles;
            ASSERT_TRUE(title->Enabled());
            const TextLook enabled = look(title);
            title->SetEnabled(false);
            const TextLook disabled = look(title);
            title->SetEnabled(true);
            EXPECT_GE(disabled.Contrast(), 3.0) << qPrintable(disabled.ink.name()) << " on "
                                                << qPrintable(disabled.background.name());
            EXPECT_GE(qGray(disabled.ink.rgb()) - qGray(enabled.ink.rgb()), Greyed)
                << qPrintable(disabled.ink.name()) << " " << qPrintable(enabled.ink.name());
        }
        if (!wasShowing) form->Hide();
    }
    // The main window's seven, the search configuration's two and the
    // one-lichen window's two.
    EXPECT_EQ(titles, 7 + 2 + 2);
}

// The program's own file dialogs, opened from the main window's File menu
// as the user does: before a file is chosen or a name typed their "Open" or
// "Save" is disabled, and reads at 3:1 on its button beside the enabled
// "Cancel".
TEST_F(DisabledLook, TheFileDialogsGreyTheirDisabledButton)
{
    RealFileDialogs real;
    MatchOneSpot();
    ShowWindow(Form1);
    struct Case { TMenuItem* item; QString button; } cases[] = {{Form1->Open1, "Open"}, {Form1->SaveAs1, "Save"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item->Caption().toStdString());
        QMenu* menu = OpenDropDown(Form1->Menu()->MenuBar(), Form1->File1);
        ASSERT_TRUE(menu);
        ASSERT_TRUE(c.item->Action()->isEnabled());
        auto clickItem = [&] {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(c.item->Action()).center());
        };
        EXPECT_TRUE(WithFileDialog(clickItem, [&](QFileDialog* dialog) {
            QPushButton* disabled = ButtonOf(dialog, c.button);
            QPushButton* cancel = ButtonOf(dialog, QStringLiteral("Cancel"));
            if (disabled && cancel) {
                EXPECT_FALSE(disabled->isEnabled());
                EXPECT_TRUE(cancel->isEnabled());
                const TextLook look = LookOf(disabled);
                EXPECT_GE(look.Contrast(), 3.0) << qPrintable(look.ink.name()) << " on " << qPrintable(look.background.name());
                EXPECT_GE(qGray(look.ink.rgb()) - qGray(LookOf(cancel).ink.rgb()), Greyed) << qPrintable(look.ink.name());
            } else {
                ADD_FAILURE() << "no " << qPrintable(c.button) << " or Cancel button";
            }
            // The menu Qt makes for the name box greys what it cannot do
            // and reads so too.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                QApplication::clipboard()->setText(QStringLiteral("Spots.txt"));
                MenuItemLooks looks;
                EXPECT_TRUE(WithContextMenuOf(name, [&](QMenu* menu) { looks = LooksOfItems(menu); }));
                EXPECT_FALSE(looks.disabled.empty());
                for (const auto& [text, item] : looks.disabled) {
                    SCOPED_TRACE(text.toStdString());
                    EXPECT_GE(item.Contrast(), 3.0) << qPrintable(item.ink.name() + " on " + item.background.name());
                    for (const auto& [other, enabled] : looks.enabled)
                        EXPECT_GE(qGray(item.ink.rgb()) - qGray(enabled.ink.rgb()), Greyed) << qPrintable(other);
                }
            } else {
                ADD_FAILURE() << "no name box";
            }
            dialog->reject();
        }));
        CloseDropDowns();
    }
}

// The question asked before unsaved spots are cleared, opened with "New..."
// from the File menu as the user does, is Qt's own message box, a window the
// program does not make. Its OK and its question, each disabled for the
// moment of the grab, read at 3:1 on what they are drawn on, yet less than
// the enabled Cancel and the enabled question do, and stand apart from
// their enabled ink, on the light palette and on a dark grey one. Cancel
// then keeps the spots.
TEST_F(DisabledLook, TheMessageBoxQtDrawsGreysItsDisabledButtonAndText)
{
    RealFileDialogs real;
    MatchOneSpot();
    SpotsSaved = false;
    ShowWindow(Form1);
    const KeptApplicationPalette light;
    for (const QPalette& palette : {light.palette, DarkGreyPalette()}) {
        SCOPED_TRACE(palette.color(QPalette::Window).name().toStdString());
        QApplication::setPalette(palette);
        QMenu* menu = OpenDropDown(Form1->Menu()->MenuBar(), Form1->File1);
        ASSERT_TRUE(menu);
        auto clickNew = [&] {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(Form1->New1->Action()).center());
        };
        EXPECT_TRUE(WithDialog<QMessageBox>(clickNew, [&](QMessageBox* box) {
            QAbstractButton* ok = box->button(QMessageBox::Ok);
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            QLabel* question = nullptr;
            for (QLabel* label : box->findChildren<QLabel*>())
                if (label->text() == box->text()) question = label;
            if (!ok || !cancel || !question) {
                ADD_FAILURE() << "no OK, Cancel or question in the box";
                box->reject();
                return;
            }
            // The disabled text beside the same kind of text enabled.
            const struct { const char* what; QWidget* disabled; QWidget* enabled; } cases[] = {
                {"OK beside Cancel", ok, cancel},
                {"the question", question, question},
            };
            for (const auto& c : cases) {
                SCOPED_TRACE(c.what);
                const TextLook enabled = LookOf(c.enabled);
                c.disabled->setEnabled(false);
                const TextLook disabled = LookOf(c.disabled);
                c.disabled->setEnabled(true);
                EXPECT_GE(disabled.Contrast(), 3.0) << qPrintable(disabled.ink.name() + " on " + disabled.background.name());
                EXPECT_LT(disabled.Contrast(), enabled.Contrast())
                    << qPrintable(enabled.ink.name() + " on " + enabled.background.name());
                EXPECT_GE(ContrastRatio(disabled.ink, enabled.ink), 1.5)
                    << qPrintable(disabled.ink.name() + " " + enabled.ink.name());
            }
            cancel->click();
        }));
        CloseDropDowns();
        EXPECT_EQ(Spots.size(), 1u);
    }
}

// The menus Qt makes itself for a field without one of the program's own
// (Undo, Redo, Cut, Copy, Paste, Delete, Select All), opened with a right
// click as the user does: every disabled item reads at 3:1 on the menu and
// is fainter than each enabled item beside it, on the light palette and on
// a dark grey one, where the light palette's grey would not read.
TEST_F(DisabledLook, TheMenusQtMakesForAFieldGreyTheirDisabledItems)
{
    ShowSubstanceRecord(QStringLiteral("Atranorin"));
    TViewRecordForm* record = ViewRecordForm;
    ASSERT_TRUE(record->ReadOnlyCheckBox->Checked());
    record->NotesMemo->SetPlainText(QStringLiteral("Grey-green crystals."));
    RecordListForm->Show();
    RecordListForm->SearchWordEdit->SetCaption(QStringLiteral("Atra"));
    InputSpotValuesForm->Show();
    InputSpotValuesForm->AEdit->SetCaption(QStringLiteral("75"));
    HelpForm->Show();
    HelpForm->WebBrowser->Navigate(HelpContentsPage());
    QApplication::processEvents();
    struct Field { const char* name; QWidget* widget; };
    const Field fields[] = {
        {"the substance list's search", RecordListForm->SearchWordEdit->LineEdit()},
        {"the spot window's A value", InputSpotValuesForm->AEdit->LineEdit()},
        {"the record's notes", record->NotesMemo->TextEdit()},
        {"the help text", HelpForm->WebBrowser->Browser()},
    };
    const KeptApplicationPalette light;
    for (const QPalette& palette : {light.palette, DarkGreyPalette()}) {
        QApplication::setPalette(palette);
        for (const Field& f : fields) {
            SCOPED_TRACE(std::string(f.name) + " on " + palette.color(QPalette::Window).name().toStdString());
            // No selection: Cut, Copy and Delete are disabled beside Select All.
            if (auto* line = qobject_cast<QLineEdit*>(f.widget)) line->deselect();
            MenuItemLooks looks;
            ASSERT_TRUE(WithContextMenuOf(f.widget, [&](QMenu* menu) { looks = LooksOfItems(menu); }));
            ASSERT_FALSE(looks.disabled.empty());
            ASSERT_FALSE(looks.enabled.empty());
            for (const auto& [text, look] : looks.disabled) {
                SCOPED_TRACE(text.toStdString());
                EXPECT_GE(look.Contrast(), 3.0) << qPrintable(look.ink.name() + " on " + look.background.name());
                for (const auto& [other, enabled] : looks.enabled) {
                    EXPECT_LT(look.Contrast(), enabled.Contrast()) << qPrintable(other);
                    EXPECT_GE(ContrastRatio(look.ink, enabled.ink), 1.5)
                        << qPrintable(other + ": " + look.ink.name() + " " + enabled.ink.name());
                }
            }
        }
    }
}
