#include "Control.h"
#include "Forms.h"
#include "Menus.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <array>
#include <cmath>

// ---------------------------------------------------------------- event sink

// Forwards the Qt events of a control's widgets to the control. Every signal
// connection of a control uses its sink as context, so they end with it.
class TEventSink : public QObject {
public:
    TEventSink(TControl* c, QObject* parent) : QObject(parent), control(c) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return control && control->HandleEvent(watched, event);
    }
    TControl* control;
};

static TShiftState ShiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b = Qt::NoButton)
{
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    if (b & Qt::LeftButton) s |= ssLeft;
    if (b & Qt::RightButton) s |= ssRight;
    if (b & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

static TMouseButton ButtonOf(Qt::MouseButton b)
{
    if (b == Qt::RightButton) return mbRight;
    if (b == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

static WORD VirtualKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return 18;
    // Qt names the sign a punctuation key typed, shifted or not; the code
    // names the key (as on a US keyboard).
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus: case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period: case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash: case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    default: break;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return WORD(key);      // 'A'..'Z'
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return WORD(key);      // '0'..'9'
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return WORD(VK_F1 + (key - Qt::Key_F1));
    // Any other key (Super, Menu, media and volume keys, letters beyond
    // ASCII, the shifted signs of the digit row): Qt's own code, cut to the
    // code's width, would read as a letter or a named key ("S" for Super,
    // Down for "(").
    return VK_NONE;
}

TForm* FormOf(TComponent* c)
{
    for (; c; c = c->Owner())
        if (auto* f = dynamic_cast<TForm*>(c)) return f;
    return nullptr;
}

// A key a control ignores travels on to its parents, whose filters see the
// same event again: the form previews each key once, at the first control.
static const QEvent* previewedEvent = nullptr;
static QPointer<QWidget> previewedAt;

static bool KeyPreviewedBefore(QObject* watched, const QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    return event == previewedEvent && previewedAt && w && w != previewedAt && w->isAncestorOf(previewedAt);
}

static bool FirstKeyPreview(QObject* watched, const QEvent* event)
{
    if (KeyPreviewedBefore(watched, event)) return false;
    previewedEvent = event;
    previewedAt = qobject_cast<QWidget*>(watched);
    return true;
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner, TControl* AParent, QWidget* w)
    : TComponent(AOwner), widget(w), parent(AParent)
{
    auto* eventSink = new TEventSink(this, w);
    sink = eventSink;
    if (parent) {
        w->setParent(parent->ClientWidget());
        parent->children.push_back(this);
    }
    w->installEventFilter(eventSink);
    font.SetQtFont(w->font());
    font.OnChange = [this] { ApplyFont(); };
    if (parent) w->show();
    ReadableDisabledTexts();
}

TControl::~TControl()
{
    if (sink) static_cast<TEventSink*>(sink.data())->control = nullptr;
    DestroyComponents();
    for (TControl* c : children) c->parent = nullptr;
    if (parent) {
        auto& list = parent->children;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    delete sink.data();
    delete widget.data();
}

void TControl::WatchInput(QWidget* w)
{
    input = w;
    w->installEventFilter(sink.data());
    w->setMouseTracking(true);
}

int TControl::Left() const { return widget->x(); }
int TControl::Top() const { return widget->y(); }
int TControl::Width() const { return widget->width(); }
int TControl::Height() const { return widget->height(); }

void TControl::SetBounds(int left, int top, int width, int height)
{
    widget->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

int TControl::ClientWidth() const { return ClientWidget()->width(); }
int TControl::ClientHeight() const { return ClientWidget()->height(); }
void TControl::SetClientWidth(int w) { SetWidth(w); }
void TControl::SetClientHeight(int h) { SetHeight(h); }

void TControl::SetVisible(bool v)
{
    visible = v;
    widget->setVisible(v);
}

bool TControl::Showing() const { return widget && widget->isVisible(); }

void TControl::SetEnabled(bool v)
{
    enabled = v;
    widget->setEnabled(v);
}

void TControl::SetHint(const QString& h)
{
    hint = h;
    widget->setToolTip(showHint ? h : QString());
}

void TControl::SetShowHint(bool v)
{
    showHint = v;
    widget->setToolTip(v ? hint : QString());
}

void TControl::SetCaption(const QString& c)
{
    text = c;
}

void TControl::SetColor(const TColor& c)
{
    color = c;
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, c.isValid() ? c : QApplication::palette().color(QPalette::Window));
    widget->setPalette(p);
    widget->setAutoFillBackground(c.isValid());
}

void SetEnabledColor(QPalette& palette, QPalette::ColorRole role, const QColor& color)
{
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
}

// The linear light of each 8-bit channel value, worked out once: the
// palettes of every control are searched through on each colour change.
static const std::array<double, 256>& LinearLight()
{
    static const auto table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            t[size_t(i)] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

static double RelativeLuminance(const QColor& c)
{
    const auto& linear = LinearLight();
    const QRgb rgb = c.rgb();
    return 0.2126 * linear[size_t(qRed(rgb))] + 0.7152 * linear[size_t(qGreen(rgb))] + 0.0722 * linear[size_t(qBlue(rgb))];
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

static QColor ReadableDisabledTextOf(const QColor& background, const QColor& enabledText)
{
    constexpr double readable = 4.5;
    if (ContrastRatio(background, enabledText) < readable) return enabledText;
    // Toward the grey as light as the enabled text, not toward the text's
    // own colour: greyed text shows the hue of its background only.
    const auto& linear = LinearLight();
    const auto level = int(std::lower_bound(linear.begin(), linear.end(), RelativeLuminance(enabledText)) - linear.begin());
    const QColor back = background.toRgb(), grey(std::min(level, 255), std::min(level, 255), std::min(level, 255));
    // From the background in steps of 1/256: the first readable colour is
    // the palest one.
    for (int step = 1; step < 256; ++step) {
        auto mix = [&](int from, int to) { return from + ((to - from) * step + (to > from ? 128 : -128)) / 256; };
        const QColor c(mix(back.red(), grey.red()), mix(back.green(), grey.green()), mix(back.blue(), grey.blue()));
        if (ContrastRatio(back, c) >= readable) return c;
    }
    return grey;
}

QColor ReadableDisabledText(const QColor& background, const QColor& enabledText)
{
    // Every control asks again at each palette change, nearly always for
    // the same few pairs of colours; used on the interface thread only.
    static QHash<quint64, QRgb> known;
    const quint64 pair = (quint64(background.rgba()) << 32) | enabledText.rgba();
    const auto it = known.constFind(pair);
    if (it != known.constEnd()) return QColor::fromRgba(*it);
    const QColor readable = ReadableDisabledTextOf(background, enabledText);
    if (known.size() < 4096) known.insert(pair, readable.rgba());
    return readable;
}

static void GiveReadableDisabledTexts(QWidget* w)
{
    // Each text on what the style draws it on: captions on the window, a
    // button's or a drop-down list's text on the button, an edit's on its
    // base (and a menu's items on the menu's base).
    QPalette p = w->palette();
    for (auto [text, background] : {std::pair{QPalette::WindowText, QPalette::Window},
                                    std::pair{QPalette::ButtonText, QPalette::Button},
                                    std::pair{QPalette::Text, QPalette::Base}})
        p.setColor(QPalette::Disabled, text,
                   ReadableDisabledText(p.color(QPalette::Disabled, background), p.color(QPalette::Active, text)));
    // Setting the palette raises another change: the same colours end it.
    if (p != w->palette()) w->setPalette(p);
}

void TControl::ReadableDisabledTexts() { GiveReadableDisabledTexts(widget); }

namespace {
// A window takes its palette from the application, not from the control it
// opens over, and Qt makes some anew each time (an edit's right-click menu,
// the file dialog's parts): so every window, the program's or Qt's own, is
// given the readable greys before it is first shown and again at each
// change of its palette or style; the widgets inside take them from it.
class TReadableWindows : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Polish || type == QEvent::PaletteChange || type == QEvent::StyleChange)
            && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            GiveReadableDisabledTexts(static_cast<QWidget*>(watched));
        return false;
    }
};

void WatchWindows()
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->installEventFilter(new TReadableWindows(app));
}
} // namespace

// As soon as the application exists, before any window is made.
Q_COREAPP_STARTUP_FUNCTION(WatchWindows)

void TControl::ApplyFont()
{
    widget->setFont(font.QtFont());
    QPalette p = widget->palette();
    if (font.Color().isValid())
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            SetEnabledColor(p, role, font.Color());
    widget->setPalette(p);
}

void TControl::SetAlign(TAlign a)
{
    align = a;
    if (parent) parent->Realign();
}

void TControl::Realign()
{
    QRect r(0, 0, ClientWidget()->width(), ClientWidget()->height());
    for (TControl* c : children) {
        if (!c->visible) continue;
        switch (c->align) {
        case alTop: c->SetBounds(r.left(), r.top(), r.width(), c->Height()); r.setTop(r.top() + c->Height()); break;
        case alBottom: c->SetBounds(r.left(), r.bottom() + 1 - c->Height(), r.width(), c->Height()); r.setBottom(r.bottom() - c->Height()); break;
        case alLeft: c->SetBounds(r.left(), r.top(), c->Width(), r.height()); r.setLeft(r.left() + c->Width()); break;
        case alRight: c->SetBounds(r.right() + 1 - c->Width(), r.top(), c->Width(), r.height()); r.setRight(r.right() - c->Width()); break;
        default: break;
        }
    }
    for (TControl* c : children)
        if (c->visible && c->align == alClient) c->SetBounds(r.left(), r.top(), r.width(), r.height());
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    popupMenu = menu;
}

QPoint TControl::ClientToScreen(const QPoint& p) const
{
    return (input ? input.data() : widget.data())->mapToGlobal(p);
}

void TControl::SetFocus() { widget->setFocus(Qt::OtherFocusReason); }

bool TControl::Focused() const
{
    QWidget* f = QApplication::focusWidget();
    return f && (f == widget || widget->isAncestorOf(f));
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

bool TControl::HandleEvent(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        pressed = true;
        QPoint p = e->position().toPoint();
        if (OnMouseDown) SafeCall([&] { OnMouseDown(this, ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        QPoint p = e->position().toPoint();
        bool wasPressed = pressed;
        pressed = false;
        if (OnMouseUp) SafeCall([&] { OnMouseUp(this, ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
        if (clickOnRelease && wasPressed && e->button() == Qt::LeftButton
            && static_cast<QWidget*>(watched)->rect().contains(p))
            SafeCall([&] { Click(); });
        return false;
    }
    case QEvent::MouseButtonDblClick:
        if (OnDblClick) SafeCall([&] { OnDblClick(this); });
        return false;
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        QPoint p = e->position().toPoint();
        if (OnMouseMove) SafeCall([&] { OnMouseMove(this, ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
        return false;
    }
    case QEvent::Leave:
        if (OnMouseLeave) SafeCall([&] { OnMouseLeave(this); });
        return false;
    case QEvent::KeyPress: {
        if (watched != widget && !(widget && widget->isAncestorOf(static_cast<QWidget*>(watched)))) return false;
        auto* e = static_cast<QKeyEvent*>(event);
        WORD key = VirtualKeyOf(e->key());
        const bool hasChar = !e->text().isEmpty();
        QChar ch = hasChar ? e->text().at(0) : QChar();
        TForm* form = FormOf(this);
        if (form && form != this && form->KeyPreview && FirstKeyPreview(watched, event)) {
            // The form sees the key first and may change or swallow it.
            if (form->OnKeyDown) {
                SafeCall([&] { form->OnKeyDown(form, key, ShiftOf(e->modifiers())); });
                if (key == 0) return true;
            }
            if (form->OnKeyPress && hasChar) {
                SafeCall([&] { form->OnKeyPress(form, ch); });
                if (ch.isNull()) return true;
            }
        } else if (form == this && KeyPreviewedBefore(watched, event)) {
            return false;   // the form has seen this key already, before its control
        }
        if (OnKeyDown) {
            SafeCall([&] { OnKeyDown(this, key, ShiftOf(e->modifiers())); });
            if (key == 0) return true;
        }
        if (OnKeyPress && hasChar) {
            SafeCall([&] { OnKeyPress(this, ch); });
            if (ch.isNull()) return true;
        }
        return false;
    }
    case QEvent::FocusIn:
        if (OnEnter) SafeCall([&] { OnEnter(this); });
        return false;
    case QEvent::FocusOut:
        if (OnExit) SafeCall([&] { OnExit(this); });
        return false;
    case QEvent::ContextMenu:
        if (popupMenu) {
            auto* e = static_cast<QContextMenuEvent*>(event);
            popupMenu->PopupComponent = this;
            SafeCall([&] { popupMenu->Popup(e->globalPos().x(), e->globalPos().y()); });
            return true;
        }
        return false;
    case QEvent::Resize:
        if (watched == ClientWidget()) Realign();
        return false;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        if (watched == widget) ReadableDisabledTexts();
        return false;
    default:
        return false;
    }
}

QObject* TControl::Context() const { return sink; }
