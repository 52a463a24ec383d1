// Every window's texts fit their controls at the fonts the windows name (or
// their installed stand-ins): labels, buttons, check boxes, radio items,
// group and panel captions, list columns and list cells, each measured with
// the control's own font against the room the style gives the text.
#include "all_windows_kit.h"
#include "support/ScriptedDialogs.h"

#include "core/FormMapping.h"
#include "framework/Text.h"
#include "substances/ViewRecord.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTreeWidget>

namespace {

int TextWidth(const QWidget* w, const QString& text)
{
    int width = 0;
    for (const QString& line : text.split(u'\n')) width = std::max(width, w->fontMetrics().horizontalAdvance(line));
    return width;
}

struct Misfit {
    QString where, text;
    int needed, room;
};

std::ostream& operator<<(std::ostream& os, const Misfit& m)
{
    return os << m.where.toStdString() << " \"" << m.text.toStdString() << "\": needs " << m.needed << " px, has "
              << m.room;
}

QString PathOf(const QWidget* w, const QWidget* window)
{
    QStringList names;
    for (const QWidget* p = w; p && p != window; p = p->parentWidget())
        if (!p->objectName().isEmpty()) names.prepend(p->objectName());
    return names.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : names.join(u'/');
}

// The main list's "Visible" (45 px) and "UV Short" (55 px) columns are
// narrower than the longer colour names at the platform's own font too: the
// window's layout gives them no more room.
bool NarrowByDesign(TForm* form, QTreeWidget* tree, int column)
{
    return form->Name == "Form1" && tree->objectName() == "SpotListView" && (column == 9 || column == 10);
}

// Every text a user sees in the window (hidden controls and hidden columns
// aside), with the room it has.
std::vector<Misfit> Misfits(TForm* form, int& checked)
{
    std::vector<Misfit> out;
    QWidget* window = form->Widget();
    auto check = [&](const QWidget* w, const QString& what, const QString& text, int needed, int room) {
        if (!text.trimmed().isEmpty()) ++checked;
        if (!text.trimmed().isEmpty() && needed > room)
            out.push_back({form->Name + ": " + PathOf(w, window) + " " + what, text, needed, room});
    };
    // Names for the messages: the components' own.
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(form->Components(i))) c->Widget()->setObjectName(c->Name);

    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->inherits("QMenuBar") || w->inherits("QMenu")) continue;
        QStyle* style = w->style();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() || label->text().isEmpty()) continue;
            check(w, "label", label->text(), TextWidth(w, label->text()), label->contentsRect().width());
            // The label itself must not run past its parent.
            check(w, "label in its parent", label->text(), label->geometry().right() + 1, label->parentWidget()->width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (button->text().isEmpty() || button->inherits("QToolButton")) continue;
            QStyleOptionButton opt;
            opt.initFrom(button);
            opt.text = button->text();
            QStyle::SubElement contents = qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents
                                          : qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                                            : QStyle::SE_PushButtonContents;
            const QRect room = style->subElementRect(contents, &opt, button);
            const QString text = CaptionText(button->text());
            check(w, "button", text, TextWidth(w, text), room.width());
            check(w, "button in its parent", text, button->geometry().right() + 1, button->parentWidget()->width());
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            if (box->title().isEmpty()) continue;
            QStyleOptionGroupBox opt;
            opt.initFrom(box);
            opt.text = box->title();
            opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            opt.textAlignment = box->alignment();
            const QRect label = style->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
            const QString text = CaptionText(box->title());
            check(w, "group caption", text, label.left() + TextWidth(w, text), box->width());
        } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
            QHeaderView* header = tree->header();
            const int headerMargin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            const int cellMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1;
            for (int col = 0; col < tree->columnCount(); ++col) {
                if (tree->isColumnHidden(col) || tree->columnWidth(col) == 0) continue;
                const QString name = QStringLiteral("column %1").arg(col);
                if (!tree->isHeaderHidden()) {
                    const QString caption = tree->headerItem()->text(col);
                    check(header, name + " header", caption, header->fontMetrics().horizontalAdvance(caption),
                          header->sectionSize(col) - 2 * headerMargin);
                }
                if (NarrowByDesign(form, tree, col)) continue;
                for (int row = 0; row < tree->topLevelItemCount(); ++row) {
                    QTreeWidgetItem* item = tree->topLevelItem(row);
                    const QString cell = item->text(col);
                    const QFontMetrics fm(item->data(col, Qt::FontRole).isValid() ? item->font(col) : tree->font());
                    const int room = tree->columnWidth(col) - 2 * cellMargin;
                    if (fm.elidedText(cell, tree->textElideMode(), room) != cell)
                        check(tree, name + " cell", cell, fm.horizontalAdvance(cell), room);
                }
            }
        }
    }
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* panel = dynamic_cast<TPanel*>(form->Components(i));
        if (!panel || !panel->Widget()->isVisibleTo(window)) continue;
        const QString text = CaptionText(panel->Caption());
        check(panel->Widget(), "panel caption", text, TextWidth(panel->Widget(), text),
              panel->Widget()->contentsRect().width());
    }
    return out;
}

} // namespace

class WindowCaptions : public AllWindows {
protected:
    void SetUp() override
    {
        AllWindows::SetUp();
        MatchOneSpot();
    }
};

TEST_F(WindowCaptions, EveryTextFitsItsControlInEveryWindow)
{
    std::vector<TForm*> windows = Windows();
    // The comparison window, made on demand from the record window.
    ShowSubstanceRecord(QStringLiteral("Atranorin"));
    ViewRecordForm->BioRelatedListBox->SetItemIndex(0);
    ViewRecordForm->Compare1->Click();
    TForm* compare = FindFormByName(QStringLiteral("Compare1"));
    ASSERT_NE(compare, nullptr);
    windows.push_back(compare);
    ASSERT_EQ(windows.size(), 20u);

    int checked = 0;
    for (TForm* form : windows) {
        SCOPED_TRACE(form->Name.toStdString());
        const int before = checked;
        for (const Misfit& m : Misfits(form, checked)) ADD_FAILURE() << m;
        // The data-update window shows nothing of its own (its buttons are hidden).
        if (form->Name != "UpdateForm") {
            EXPECT_GT(checked, before) << "no text checked";
        }
    }
    EXPECT_GT(checked, 400);
}

// The stand-ins are installed: the Windows fonts the windows name are drawn
// with the metric-compatible families, the default font included.
TEST_F(WindowCaptions, TheNamedFontsHaveTheirStandIns)
{
    struct Case { const char* family; const char* standIn; };
    for (Case c : {Case{"Tahoma", "Liberation Sans"}, Case{"MS Sans Serif", "Liberation Sans"},
                   Case{"Segoe UI", "Liberation Sans"}, Case{"Arial", "Liberation Sans"},
                   Case{"Lucida Console", "Liberation Mono"}}) {
        SCOPED_TRACE(c.family);
        EXPECT_EQ(QFontInfo(QFont(QString::fromLatin1(c.family))).family(), QString::fromLatin1(c.standIn));
    }
    // The main window names no font: it has the platform's default.
    EXPECT_EQ(QFontInfo(Form1->Widget()->font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(Form1->SpotListView->Widget()->font()).pixelSize(), 11);
}

// The main list's column captions change with the three compare switches;
// every combination keeps them (and the cells) inside their columns.
TEST_F(WindowCaptions, TheMainListAtEverySwitchSetting)
{
    TCheckBox* switches[] = {Form1->UseTLCCheckbox, Form1->UseUVCheckbox, Form1->UseThallusCheckbox};
    for (int mask = 0; mask < 8; ++mask) {
        for (int i = 0; i < 3; ++i) switches[i]->SetChecked((mask >> i) & 1);
        SCOPED_TRACE(QStringLiteral("TLC %1, UV %2, thallus %3").arg(mask & 1).arg((mask >> 1) & 1).arg((mask >> 2) & 1).toStdString());
        int checked = 0;
        for (const Misfit& m : Misfits(Form1, checked)) ADD_FAILURE() << m;
        EXPECT_GT(checked, 40);
    }
}

namespace {

// The ink of an image: the smallest part holding every pixel that differs
// from the background (the top-left pixel).
QImage Ink(const QImage& image)
{
    const QRgb background = image.pixel(0, 0);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    return image.copy(box);
}

// A cell as drawn at its column's width, and as drawn in a column wide
// enough for any text: the same ink means nothing was cut or elided.
bool DrawnWhole(QTreeWidget* tree, QTreeWidgetItem* item, int column)
{
    const int width = tree->columnWidth(column);
    auto shot = [&] {
        QApplication::processEvents();
        return Ink(tree->viewport()->grab(tree->visualItemRect(item).intersected(
                                              tree->visualRect(tree->indexFromItem(item, column))))
                       .toImage());
    };
    const QImage drawn = shot();
    tree->setColumnWidth(column, width + 200);   // even: the centred text keeps its sub-pixel place
    const QImage whole = shot();
    tree->setColumnWidth(column, width);
    return !drawn.isNull() && drawn == whole;
}

} // namespace

// "No Result" in the main list's 61-pixel columns, as the user sees it.
TEST_F(WindowCaptions, NoResultIsDrawnWholeInTheSixtyOnePixelColumns)
{
    Form1->Show();
    QTreeWidget* tree = Form1->SpotListView->Tree();
    tree->clearSelection();
    tree->setCurrentIndex(QModelIndex());
    QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == "Atranorin") row = tree->topLevelItem(i);
    ASSERT_NE(row, nullptr);
    int columns = 0;
    for (int col = 0; col < tree->columnCount(); ++col) {
        if (tree->columnWidth(col) != 61) continue;
        SCOPED_TRACE(col);
        ASSERT_EQ(row->text(col), "No Result");
        EXPECT_TRUE(DrawnWhole(tree, row, col));
        ++columns;
    }
    EXPECT_GE(columns, 8);
    SaveScreenshot(Form1, "main_window_no_result");
    // The check sees a cut: a longer text in the same cell is not drawn whole.
    row->setText(11, "No Result, No Result");
    EXPECT_FALSE(DrawnWhole(tree, row, 11));
}
