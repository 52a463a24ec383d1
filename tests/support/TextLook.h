#pragma once
// What a picture of a piece of text shows: the colour most of it is (the
// background the text is drawn on) and the colour that stands out most from
// that one (the ink of the text's strokes).
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>

class QAction;
class QMenu;

struct TextLook {
    QColor background;
    QColor ink;
    double Contrast() const;
};

TextLook TextLookOf(const QImage& shot);

// Where a menu draws the caption of one of its items: the item's row after
// the column of pictures and check marks on its left, as wide as the
// caption (the menu's frame runs along the ends of the rows).
QRect MenuItemTextArea(QMenu* menu, QAction* action);

// A dark grey palette, windows and fields alike, on which the light
// palette's disabled grey would not read.
QPalette DarkGreyPalette();

// Puts the application's palette back, when it goes, as it was when made.
struct KeptApplicationPalette {
    QPalette palette = QApplication::palette();
    ~KeptApplicationPalette() { QApplication::setPalette(palette); }
};
