#include "ImageControls.h"

#include <QPainter>
#include <algorithm>

// ---------------------------------------------------------------- TImage

class TImageWidget : public QWidget {
public:
    explicit TImageWidget(TImage* i) : image(i) {}
    void paintEvent(QPaintEvent*) override
    {
        if (!image || image->Picture().isNull()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(image->DestRect(), image->Picture());
    }
    TImage* image;
};

TImage::TImage(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new TImageWidget(nullptr))
{
    static_cast<TImageWidget*>(widget.data())->image = this;
    clickOnRelease = true;
    canvas.SetTarget(&picture);
}

void TImage::SetPicture(const QImage& image) { picture = image; Repaint(); }
void TImage::ClearPicture() { picture = QImage(); Repaint(); }
void TImage::SetStretch(bool v) { stretch = v; Repaint(); }
void TImage::SetProportional(bool v) { proportional = v; Repaint(); }
void TImage::SetCenter(bool v) { center = v; Repaint(); }
void TImage::Repaint() { if (widget) widget->update(); }

TCanvas* TImage::Canvas()
{
    if (picture.isNull()) {
        picture = QImage(std::max(1, Width()), std::max(1, Height()), QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    Repaint();
    return &canvas;
}

QRect TImage::DestRect() const
{
    int w = picture.width(), h = picture.height();
    int cw = Width(), ch = Height();
    if (w <= 0 || h <= 0) return QRect();
    if (stretch || (proportional && (w > cw || h > ch))) {
        if (proportional) {
            double s = std::min(double(cw) / w, double(ch) / h);
            w = int(w * s + 0.5);
            h = int(h * s + 0.5);
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (center) { x = (cw - w) / 2; y = (ch - h) / 2; }
    return QRect(x, y, w, h);
}

// ---------------------------------------------------------------- image list

int TImageList::Add(const QImage& image)
{
    images.push_back(image);
    return int(images.size()) - 1;
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count()) return QImage();
    return images[size_t(index)];
}
