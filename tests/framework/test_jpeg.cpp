#include "framework/Jpeg.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QByteArray Encode(const QImage& img, const char* format, int quality = 90)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buf, format, quality)) << format;
    return bytes;
}

QImage TestPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, x < w / 2 ? qRgb(220, 30, 30) : qRgb(30, 30, 220));
    return img;
}

TEST(Jpeg, DecodesAPicture)
{
    const QByteArray jpg = Encode(TestPicture(64, 40), "JPG");
    const QImage img = DecodeJpeg(jpg);
    ASSERT_EQ(img.size(), QSize(64, 40));
    const QRgb left = img.pixel(5, 20), right = img.pixel(58, 20);
    EXPECT_GT(qRed(left), 180);
    EXPECT_LT(qBlue(left), 80);
    EXPECT_GT(qBlue(right), 180);
    EXPECT_LT(qRed(right), 80);
    EXPECT_EQ(qAlpha(left), 255);
}

TEST(Jpeg, DecodesGreyscale)
{
    QImage grey = TestPicture(16, 16).convertToFormat(QImage::Format_Grayscale8);
    const QImage img = DecodeJpeg(Encode(grey, "JPG"));
    EXPECT_EQ(img.size(), QSize(16, 16));
}

TEST(Jpeg, BadDataRaisesWithoutEndingTheProcess)
{
    const QByteArray jpg = Encode(TestPicture(200, 120), "JPG");
    QByteArray corrupt = jpg;
    for (qsizetype i = 20; i < corrupt.size() - 2; i += 7) corrupt[i] = char(0xFF);   // markers everywhere
    QByteArray badHeader = jpg.left(4) + QByteArray(200, '\x01');
    const QByteArray cases[] = {
        {},
        jpg.left(3),
        jpg.left(jpg.size() / 2),                      // cut download
        jpg.left(300),
        corrupt,
        badHeader,
        Encode(TestPicture(8, 8), "PNG"),
        "<html><body>Not found</body></html>",
        QByteArray("\xFF\xD8\xFF") + QByteArray(50, '\0'),
    };
    int i = 0;
    for (const QByteArray& bytes : cases) EXPECT_THROW(DecodeJpeg(bytes), EImageError) << "case " << i++;
}

TEST(Jpeg, RefusesAbsurdDimensions)
{
    QByteArray jpg = Encode(TestPicture(16, 16), "JPG");
    // Patch the frame header (SOF0/SOF2) to claim 30000 x 30000 pixels.
    qsizetype p = 2;
    bool patched = false;
    while (p + 9 < jpg.size()) {
        ASSERT_EQ(quint8(jpg[p]), 0xFF);
        const quint8 marker = quint8(jpg[p + 1]);
        const int len = (quint8(jpg[p + 2]) << 8) | quint8(jpg[p + 3]);
        if (marker == 0xC0 || marker == 0xC2) {
            jpg[p + 5] = char(30000 >> 8);
            jpg[p + 6] = char(30000 & 0xFF);
            jpg[p + 7] = char(30000 >> 8);
            jpg[p + 8] = char(30000 & 0xFF);
            patched = true;
            break;
        }
        p += 2 + len;
    }
    ASSERT_TRUE(patched);
    try {
        DecodeJpeg(jpg);
        FAIL() << "no exception";
    } catch (const EImageError& e) {
        EXPECT_TRUE(e.Message.contains("30000x30000")) << e.Message.toStdString();
    }
}

} // namespace
