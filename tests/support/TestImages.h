#pragma once
// Pictures for the image tests, made the way a camera file would arrive.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

// A JPEG of one colour.
inline QByteArray SolidJpeg(const QColor& colour, int width = 40, int height = 30)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}
