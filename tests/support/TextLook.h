#pragma once
// What a picture of a piece of text shows: the colour most of it is (the
// background the text is drawn on) and the colour that stands out most from
// that one (the ink of the text's strokes).
#include <QColor>
#include <QImage>

struct TextLook {
    QColor background;
    QColor ink;
    double Contrast() const;
};

TextLook TextLookOf(const QImage& shot);
