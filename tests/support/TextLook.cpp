#include "support/TextLook.h"
#include "framework/Control.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <map>

double TextLook::Contrast() const { return ContrastRatio(ink, background); }

TextLook TextLookOf(const QImage& shot)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) ++counts[shot.pixel(x, y) | 0xff000000u];
    TextLook look;
    int most = 0;
    for (auto [rgb, n] : counts)
        if (n > most) { most = n; look.background = QColor(rgb); }
    look.ink = look.background;
    for (auto [rgb, n] : counts)
        if (ContrastRatio(QColor(rgb), look.background) > look.Contrast()) look.ink = QColor(rgb);
    return look;
}

QRect MenuItemTextArea(QMenu* menu, QAction* action)
{
    const int pictures = menu->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, menu) + 8;
    // Qt's own items carry their shortcut after a tab, drawn in a column of
    // its own.
    const int caption =
        menu->fontMetrics().horizontalAdvance(action->text().section(u'\t', 0, 0).remove(u'&'));
    const QRect row = menu->actionGeometry(action);
    return QRect(row.left() + pictures, row.top() + 2, caption + 8, row.height() - 4);
}

QPalette DarkGreyPalette()
{
    QPalette dark(QColor(0x50, 0x50, 0x50));
    dark.setColor(QPalette::Base, QColor(0x50, 0x50, 0x50));
    return dark;
}
