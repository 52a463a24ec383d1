// The program's pictures: every picture index a window names is in the main
// window's image list and shows on its menu item or tool button; the record
// window's related-compound menu, opened by the user's right click, shows its
// pictures.
#include "all_windows_kit.h"

#include "substances/ViewRecord.h"

#include <QListWidget>
#include <QMenu>
#include <QToolButton>

#include <set>

namespace {

QImage Argb(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

QImage IconPicture(const QIcon& icon, const QSize& size) { return Argb(icon.pixmap(size).toImage()); }

// True when the picture's opaque pixels stand somewhere inside `area` of
// what was drawn (its see-through edge blends into the background).
bool ShowsPicture(const QImage& shown, const QRect& area, const QImage& picture)
{
    const QImage drawn = Argb(shown);
    const QImage wanted = Argb(picture);
    for (int top = area.top(); top + wanted.height() <= area.bottom() + 1; ++top)
        for (int left = area.left(); left + wanted.width() <= area.right() + 1; ++left) {
            bool same = true;
            for (int y = 0; y < wanted.height() && same; ++y)
                for (int x = 0; x < wanted.width() && same; ++x) {
                    const QRgb w = wanted.pixel(x, y);
                    if (qAlpha(w) == 255 && drawn.pixel(left + x, top + y) != w) same = false;
                }
            if (same) return true;
        }
    return false;
}

} // namespace

using ProgramPictures = AllWindows;

TEST_F(ProgramPictures, EveryNamedIndexHasItsPictureOnItsItemOrButton)
{
    TImageList* list = Form1->ImageList1;
    std::set<int> named;
    for (TForm* form : Windows())
        for (int i = 0; i < form->ComponentCount(); ++i) {
            TComponent* c = form->Components(i);
            SCOPED_TRACE((form->Name + "." + c->Name).toStdString());
            if (auto* item = dynamic_cast<TMenuItem*>(c); item && item->ImageIndex() >= 0) {
                const QImage picture = list->Image(item->ImageIndex());
                ASSERT_FALSE(picture.isNull()) << item->ImageIndex();
                named.insert(item->ImageIndex());
                EXPECT_EQ(IconPicture(item->Action()->icon(), picture.size()), Argb(picture));
            } else if (auto* button = dynamic_cast<TToolButton*>(c);
                       button && button->Style() == tbsButton && button->ImageIndex() >= 0) {
                const QImage picture = list->Image(button->ImageIndex());
                ASSERT_FALSE(picture.isNull()) << button->ImageIndex();
                named.insert(button->ImageIndex());
                EXPECT_EQ(IconPicture(button->Button()->icon(), picture.size()), Argb(picture));
            }
        }
    // The record window's related-compound menu names the highest ones.
    for (int index : {12, 19, 22}) EXPECT_EQ(named.count(index), 1u) << index;
    // Each picture can be told from the others.
    for (int a : named)
        for (int b : named)
            if (a < b && !(a == 4 && b == 8)) {   // 8 is the menus' copy of 4
                EXPECT_NE(Argb(list->Image(a)), Argb(list->Image(b))) << a << " " << b;
            }
}

TEST_F(ProgramPictures, RelatedCompoundMenuOpensWithItsPictures)
{
    ShowSubstanceRecord(QStringLiteral("Atranorin"));
    TViewRecordForm* f = ViewRecordForm;
    QWidget* window = f->Widget();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QListWidget* related = f->BioRelatedListBox->List();
    ASSERT_EQ(related->count(), 1);
    TImageList* list = Form1->ImageList1;
    QMenu* menu = f->PopupMenu1->SubMenu();

    struct Item { TMenuItem* item; int picture; } items[] = {
        {f->Compare1, 12}, {f->AddRelatedCompound1, 22}, {f->RemoveRelatedCompound1, 19}};
    // Read-only, the menu shows only Compare; editable, all three.
    for (bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "editable");
        f->ReadOnlyCheckBox->SetChecked(readOnly);
        // A right click on the related compound, through the window, so Qt
        // finds the list under the pointer and raises its context menu.
        const QPoint at = related->visualItemRect(related->item(0)).center();
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, related->viewport()->mapTo(window, at));
        ASSERT_TRUE(menu->isVisible());
        EXPECT_EQ(f->BioRelatedListBox->ItemIndex(), 0);
        const QImage shown = menu->grab().toImage();
        for (const Item& i : items) {
            SCOPED_TRACE(i.item->Caption().toStdString());
            const QImage picture = list->Image(i.picture);
            ASSERT_FALSE(picture.isNull());
            // Hidden items carry their picture for when they show.
            EXPECT_EQ(IconPicture(i.item->Action()->icon(), picture.size()), Argb(picture));
            const bool visible = i.item == f->Compare1 || !readOnly;
            EXPECT_EQ(i.item->Action()->isVisible(), visible);
            if (visible) {
                const QRect row = menu->actionGeometry(i.item->Action());
                ASSERT_FALSE(row.isEmpty());
                EXPECT_TRUE(ShowsPicture(shown, row, picture));
            }
        }
        menu->hide();
    }
    f->ReadOnlyCheckBox->SetChecked(true);
}
