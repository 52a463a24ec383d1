#include "core/ProgramIcons.h"

#include <QPainter>

#include <functional>

namespace {

// A 16 × 16 picture: a rounded square of the colour, the sign drawn on it in
// white.
QImage MakeIcon(const QColor& color, const std::function<void(QPainter&)>& drawSign)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(color.darker(150));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    drawSign(p);
    return image;
}

QImage LetterIcon(const QColor& color, const QString& letter)
{
    return MakeIcon(color, [&letter](QPainter& p) {
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letter);
    });
}

// Two pages side by side, the right one lower: two records compared.
QImage CompareIcon()
{
    const QColor colour(110, 80, 160);
    return MakeIcon(colour, [&colour](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRect(2, 2, 5, 9));
        p.drawRect(QRect(9, 5, 5, 9));
        p.setPen(colour);
        for (int y : {4, 6, 8}) {
            p.drawLine(3, y, 5, y);
            p.drawLine(10, y + 3, 12, y + 3);
        }
    });
}

// A white plus or minus sign.
QImage SignIcon(const QColor& color, bool plus)
{
    return MakeIcon(color, [plus](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 7, 9, 2.5));
        if (plus) p.drawRect(QRectF(6.75, 3.75, 2.5, 9));
    });
}

} // namespace

TImageList* MakeProgramImageList(TComponent* owner, const QString& name)
{
    std::vector<QImage> pictures(ProgramPictureCount);
    pictures[ppNew] = LetterIcon(QColor(70, 140, 70), QStringLiteral("N"));
    pictures[ppCopy] = LetterIcon(QColor(90, 90, 160), QStringLiteral("C"));
    pictures[ppOpen] = LetterIcon(QColor(200, 150, 40), QStringLiteral("O"));
    pictures[ppOpenAll] = LetterIcon(QColor(170, 110, 30), QStringLiteral("A"));
    pictures[ppSave] = LetterIcon(QColor(40, 100, 190), QStringLiteral("S"));
    pictures[ppClose] = LetterIcon(QColor(180, 60, 60), QStringLiteral("X"));
    pictures[ppSaveAll] = LetterIcon(QColor(30, 70, 150), QStringLiteral("F"));
    pictures[ppHelp] = LetterIcon(QColor(120, 120, 120), QStringLiteral("?"));
    pictures[ppMenuSave] = LetterIcon(QColor(40, 100, 190), QStringLiteral("S"));
    pictures[ppCompare] = CompareIcon();
    pictures[ppRemove] = SignIcon(QColor(180, 60, 60), false);
    pictures[ppAdd] = SignIcon(QColor(70, 140, 70), true);

    auto* list = new TImageList(owner);
    list->Name = name;
    for (const QImage& picture : pictures) list->Add(picture);
    return list;
}
