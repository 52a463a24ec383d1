#include "core/ProgramIcons.h"

#include <QPainter>

namespace {

QImage MakeIcon(const QColor& color, const QString& letter)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(color.darker(150));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letter);
    return image;
}

} // namespace

TImageList* MakeProgramImageList(TComponent* owner, const QString& name)
{
    auto* list = new TImageList(owner);
    list->Name = name;
    list->Add(MakeIcon(QColor(70, 140, 70), QStringLiteral("N")));
    list->Add(MakeIcon(QColor(90, 90, 160), QStringLiteral("C")));
    list->Add(MakeIcon(QColor(200, 150, 40), QStringLiteral("O")));
    list->Add(MakeIcon(QColor(170, 110, 30), QStringLiteral("A")));
    list->Add(MakeIcon(QColor(40, 100, 190), QStringLiteral("S")));
    list->Add(MakeIcon(QColor(180, 60, 60), QStringLiteral("X")));
    list->Add(MakeIcon(QColor(30, 70, 150), QStringLiteral("F")));
    list->Add(MakeIcon(QColor(120, 120, 120), QStringLiteral("?")));
    list->Add(MakeIcon(QColor(40, 100, 190), QStringLiteral("S")));
    return list;
}
