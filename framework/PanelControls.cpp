#include "PanelControls.h"
#include "ImageControls.h"
#include "Text.h"

#include <QFrame>
#include <QPainter>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>

// ---------------------------------------------------------------- TPanel

class TPanelWidget : public QFrame {
public:
    QString caption;
    void paintEvent(QPaintEvent* e) override
    {
        QFrame::paintEvent(e);
        if (caption.isEmpty()) return;
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(contentsRect(), Qt::AlignCenter, caption);
    }
};

TPanel::TPanel(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new TPanelWidget)
{
    clickOnRelease = true;
    SetBevelOuter(bvRaised);
}

void TPanel::SetCaption(const QString& c)
{
    text = c;
    static_cast<TPanelWidget*>(widget.data())->caption = CaptionText(c);
    widget->update();
}

void TPanel::SetBevelOuter(TBevelCut b)
{
    bevelOuter = b;
    auto* f = static_cast<QFrame*>(widget.data());
    f->setFrameShape(b == bvNone ? QFrame::NoFrame : QFrame::Panel);
    f->setFrameShadow(b == bvLowered ? QFrame::Sunken : QFrame::Raised);
}

void TPanel::SetBevelInner(TBevelCut) {}
void TPanel::SetBorderWidth(int w) { static_cast<QFrame*>(widget.data())->setContentsMargins(w, w, w, w); }

void TPanel::SetSingleBorder(bool v)
{
    // Without the single border the panel shows its bevel again.
    if (v) static_cast<QFrame*>(widget.data())->setFrameShape(QFrame::Box);
    else SetBevelOuter(bevelOuter);
}

void TPanel::SetColor(const TColor& c) { TControl::SetColor(c); }

// ---------------------------------------------------------------- TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QProgressBar)
{
    bar()->setRange(0, 100);
    bar()->setValue(0);
    bar()->setTextVisible(false);
}

QProgressBar* TProgressBar::bar() const { return static_cast<QProgressBar*>(widget.data()); }

void TProgressBar::SetMin(int v)
{
    min = v;
    if (max < min) max = min;
    bar()->setRange(min, max);
    SetPosition(position);
}

void TProgressBar::SetMax(int v)
{
    max = v;
    if (min > max) min = max;
    bar()->setRange(min, max);
    SetPosition(position);
}

void TProgressBar::SetPosition(int v)
{
    position = std::clamp(v, min, max);
    bar()->setValue(position);
}

// ---------------------------------------------------------------- TUpDown

TUpDown::TUpDown(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QWidget)
{
    up = new QToolButton(widget);
    down = new QToolButton(widget);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    QObject::connect(up, &QToolButton::clicked, Context(), [this] { SafeCall([this] { ClickButton(btNext); }); });
    QObject::connect(down, &QToolButton::clicked, Context(), [this] { SafeCall([this] { ClickButton(btPrev); }); });
    SetBounds(0, 0, 17, 25);
}

void TUpDown::SetMin(int v) { min = v; SetPosition(position); }
void TUpDown::SetMax(int v) { max = v; SetPosition(position); }

void TUpDown::SetPosition(int v)
{
    position = std::clamp(v, std::min(min, max), std::max(min, max));
    widget->setToolTip(Hint());
    int h = Height() / 2;
    up->setGeometry(0, 0, Width(), h);
    down->setGeometry(0, h, Width(), Height() - h);
}

void TUpDown::ClickButton(TUDBtnType button)
{
    SetPosition(position + (button == btNext ? increment : -increment));
    if (OnClick) OnClick(this, button);
}

// ---------------------------------------------------------------- tool bar

TToolBar::TToolBar(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QWidget)
{
    SetBounds(0, 0, AParent ? AParent->ClientWidth() : 100, 29);
    SetAlign(alTop);
}

void TToolBar::SetMaxWidth(int w)
{
    maxWidth = std::max(0, w);
    SetBounds(Left(), Top(), Width(), Height());
}

void TToolBar::SetTransparent(bool v)
{
    transparent = v;
    widget->setAutoFillBackground(!v);
}

void TToolBar::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, maxWidth > 0 ? std::min(width, maxWidth) : width, height);
}

void TToolBar::AddButton(TToolButton* b) { buttons.push_back(b); LayoutButtons(); }

void TToolBar::RemoveButton(TToolButton* b)
{
    buttons.erase(std::remove(buttons.begin(), buttons.end(), b), buttons.end());
}

void TToolBar::SetImages(TImageList* list)
{
    images = list;
    for (TToolButton* b : buttons) b->ShowImage();
}

void TToolBar::LayoutButtons()
{
    int x = 0;
    for (TToolButton* b : buttons) {
        if (!b->Visible()) continue;
        int w = b->Style() == tbsSeparator ? 8 : 23;
        b->SetBounds(x, 2, w, 22);
        x += w;
    }
}

TToolButton::TToolButton(TComponent* AOwner, TToolBar* AToolBar)
    : TControl(AOwner, AToolBar, new QToolButton), toolBar(AToolBar)
{
    QObject::connect(Button(), &QToolButton::clicked, Context(), [this] { SafeCall([this] { Click(); }); });
    Button()->setAutoRaise(true);
    if (toolBar) toolBar->AddButton(this);
}

TToolButton::~TToolButton()
{
    if (Parent() && toolBar) toolBar->RemoveButton(this);
}

QToolButton* TToolButton::Button() const { return static_cast<QToolButton*>(widget.data()); }

void TToolButton::SetCaption(const QString& c)
{
    text = c;
    if (imageIndex < 0) Button()->setText(c);
}

void TToolButton::SetImageIndex(int i)
{
    imageIndex = i;
    ShowImage();
}

void TToolButton::ShowImage()
{
    const QImage image = toolBar && toolBar->Images() ? toolBar->Images()->Image(imageIndex) : QImage();
    Button()->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
}

void TToolButton::SetIcon(const QImage& image)
{
    Button()->setIcon(QIcon(QPixmap::fromImage(image)));
}

void TToolButton::SetStyle(TToolButtonStyle s)
{
    style = s;
    if (s == tbsSeparator) Button()->setEnabled(false);
    if (toolBar) toolBar->LayoutButtons();
}

void TToolButton::Click() { TControl::Click(); }
