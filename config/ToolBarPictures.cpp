#include "config/ToolBarPictures.h"
#include "core/MainWindow.h"

#include <QPainter>

namespace {

QImage DrawPicture(const QColor& color, const QString& letter)
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

void SetToolBarPictures(TComponent* owner, TToolBar* bar)
{
    if (Form1 && Form1->ImageList1 && Form1->ImageList1->Count() > tpDelete) {
        bar->SetImages(Form1->ImageList1);
        return;
    }
    // The same order as the main window's list, so the indices agree.
    auto* list = new TImageList(owner);
    list->Name = QStringLiteral("ToolBarPictures");
    list->Add(DrawPicture(QColor(70, 140, 70), QStringLiteral("N")));
    list->Add(DrawPicture(QColor(90, 90, 160), QStringLiteral("C")));
    list->Add(DrawPicture(QColor(200, 150, 40), QStringLiteral("O")));
    list->Add(DrawPicture(QColor(170, 110, 30), QStringLiteral("A")));
    list->Add(DrawPicture(QColor(40, 100, 190), QStringLiteral("S")));
    list->Add(DrawPicture(QColor(180, 60, 60), QStringLiteral("X")));
    bar->SetImages(list);
}
