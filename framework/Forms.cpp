#include "Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

TApplication* Application = new TApplication;

// ---------------------------------------------------------------- TForm

TForm::TForm(TComponent* AOwner) : TControl(AOwner, nullptr, new QWidget)
{
    visible = false;
    client = new QWidget(widget);
    WatchInput(client);
    client->setMouseTracking(false);
    widget->setAttribute(Qt::WA_DeleteOnClose, false);
    widget->resize(300, 200);
    // The platform's default form font; controls made later inherit it.
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetHeight(-11);
    LayoutClient();
    if (Application) Application->FormConstructing(this);
}

TForm::~TForm()
{
    DestroyComponents();
    if (Application) Application->FormDestroying(this);
}

void TForm::SetCaption(const QString& c)
{
    text = c;
    widget->setWindowTitle(c);
}

QSize TForm::FrameExtra() const
{
    QRect f = widget->frameGeometry(), g = widget->geometry();
    return QSize(f.width() - g.width(), f.height() - g.height());
}

int TForm::Left() const { return widget->frameGeometry().x(); }
int TForm::Top() const { return widget->frameGeometry().y(); }
int TForm::Width() const { return widget->frameGeometry().width(); }
int TForm::Height() const { return widget->frameGeometry().height(); }

// An empty menu shows no bar.
static int MenuHeight(TMainMenu* menu)
{
    return menu && menu->MenuBar() && menu->HasVisibleItems() ? menu->MenuBar()->sizeHint().height() : 0;
}

bool TForm::FixedSize() const
{
    return borderStyle == bsSingle || borderStyle == bsDialog || borderStyle == bsToolWindow;
}

void TForm::SetInnerSize(QSize inner)
{
    inner = QSize(std::max(1, inner.width()), std::max(1, inner.height()));
    if (FixedSize()) {
        // The limits still hold for a fixed window.
        QSize extra = FrameExtra();
        int minW = constraints.MinWidth > 0 ? constraints.MinWidth - extra.width() : 0;
        int minH = constraints.MinHeight > 0 ? constraints.MinHeight - extra.height() : 0;
        int maxW = constraints.MaxWidth > 0 ? constraints.MaxWidth - extra.width() : QWIDGETSIZE_MAX;
        int maxH = constraints.MaxHeight > 0 ? constraints.MaxHeight - extra.height() : QWIDGETSIZE_MAX;
        inner = QSize(std::clamp(inner.width(), std::max(1, minW), std::max(std::max(1, minW), maxW)),
                      std::clamp(inner.height(), std::max(1, minH), std::max(std::max(1, minH), maxH)));
        widget->setFixedSize(inner);
    } else {
        widget->resize(inner);
    }
}

void TForm::SetBounds(int left, int top, int width, int height)
{
    // Each coordinate on its own: a window placed beside another by its Left
    // alone still takes its Top from Position at the first Show.
    if (left != Left()) leftPlaced = true;
    if (top != Top()) topPlaced = true;
    if (width != Width()) outerWidth = true;
    if (height != Height()) outerHeight = true;
    QSize extra = FrameExtra();
    lastExtra = extra;
    widget->move(left, top);
    SetInnerSize(QSize(width - extra.width(), height - extra.height()));
    LayoutClient();
}

int TForm::ClientWidth() const { return widget->width(); }
int TForm::ClientHeight() const { return widget->height() - MenuHeight(menu); }

void TForm::SetClientWidth(int w)
{
    QSize extra = FrameExtra();
    bool keepOuterHeight = outerHeight;
    SetBounds(Left(), Top(), w + extra.width(), Height());
    outerWidth = false;
    outerHeight = keepOuterHeight;
}

void TForm::SetClientHeight(int h)
{
    QSize extra = FrameExtra();
    bool keepOuterWidth = outerWidth;
    SetBounds(Left(), Top(), Width(), h + MenuHeight(menu) + extra.height());
    outerHeight = false;
    outerWidth = keepOuterWidth;
}

void TForm::FrameMaybeChanged()
{
    QSize extra = FrameExtra();
    if (extra == lastExtra) return;
    QSize before = lastExtra;
    lastExtra = extra;   // first, so the resize below does not come back here
    QSize inner = widget->size();
    if (outerWidth) inner.setWidth(inner.width() - (extra.width() - before.width()));
    if (outerHeight) inner.setHeight(inner.height() - (extra.height() - before.height()));
    ApplyConstraints();
    if (windowState == wsNormal) SetInnerSize(inner);
    LayoutClient();
}

void TForm::LayoutClient()
{
    int mh = MenuHeight(menu);
    if (mh != menuHeight) {
        // The bar came, went or changed its height (items, font): a window
        // sized by its client area keeps that area and grows by the bar.
        const int delta = mh - menuHeight;
        menuHeight = mh;
        if (!outerHeight && windowState == wsNormal)
            SetInnerSize(QSize(widget->width(), widget->height() + delta));
    }
    if (menu && menu->MenuBar()) {
        menu->MenuBar()->setGeometry(0, 0, widget->width(), mh);
        menu->MenuBar()->setVisible(mh > 0);
    }
    client->setGeometry(0, mh, widget->width(), std::max(0, widget->height() - mh));
    Realign();
}

void TForm::SetMenu(TMainMenu* m)
{
    if (menu && menu->MenuBar()) menu->MenuBar()->hide();
    menu = m;
    if (menu && menu->MenuBar()) menu->MenuBar()->setParent(widget);
    LayoutClient();
}

void TForm::MenuChanged() { LayoutClient(); }

void TForm::ApplyFont()
{
    TControl::ApplyFont();
    LayoutClient();   // the menu bar follows the window's font
}

void TForm::Show()
{
    if (visible) {
        BringToFront();
        return;
    }
    visible = true;
    const bool place = !leftPlaced || !topPlaced;
    if (place) ApplyPosition();
    if (windowState == wsMaximized) widget->showMaximized();
    else if (windowState == wsMinimized) widget->showMinimized();
    else widget->show();
    FrameMaybeChanged();
    LayoutClient();
    // A window sized by its client area has grown by the frame the show
    // added: centred again by its outer size.
    if (place && windowState == wsNormal) ApplyPosition();
    leftPlaced = topPlaced = true;
    if (OnShow) OnShow(this);
}

void TForm::Hide()
{
    if (!visible) return;
    visible = false;
    widget->hide();
    if (OnHide) OnHide(this);
}

void TForm::SetVisible(bool v)
{
    if (v) Show();
    else Hide();
}

void TForm::BringToFront()
{
    widget->raise();
    widget->activateWindow();
}

bool TForm::Active() const { return widget->isActiveWindow(); }

void TForm::Close()
{
    if (closing) return;
    struct Guard { bool& b; Guard(bool& x) : b(x) { b = true; } ~Guard() { b = false; } } guard(closing);
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    switch (action) {
    case caNone: return;
    case caHide: Hide(); break;
    case caMinimize: widget->showMinimized(); break;
    case caFree: Hide(); Release(); break;
    }
    if (Application && Application->MainForm() == this) Application->Terminate();
}

void TForm::UserClose()
{
    SafeCall([this] { Close(); });
}

void TForm::Release()
{
    if (releasePending) return;
    releasePending = true;
    Application->releaseQueue.push_back(this);
    QTimer::singleShot(0, qApp, [] { if (Application) Application->FreeReleased(); });
}

int TForm::ShowModal()
{
    ModalResult = mrNone;
    widget->setWindowModality(Qt::ApplicationModal);
    Show();
    QPointer<QWidget> guard = widget.data();
    while (ModalResult == mrNone && visible && guard)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (guard) {
        widget->setWindowModality(Qt::NonModal);
        if (ModalResult == mrNone) ModalResult = mrCancel;
        Hide();
    }
    return ModalResult;
}

static Qt::WindowFlags FlagsFor(TFormBorderStyle style, TBorderIcons icons)
{
    Qt::WindowFlags f = Qt::Window;
    if (style == bsNone) return f | Qt::FramelessWindowHint;
    if (style == bsToolWindow || style == bsSizeToolWin) f = Qt::Tool;
    if (style == bsDialog) f = Qt::Dialog;
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (icons & biSystemMenu) {
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (style != bsDialog && (icons & biMinimize)) f |= Qt::WindowMinimizeButtonHint;
        if (style != bsDialog && (icons & biMaximize)) f |= Qt::WindowMaximizeButtonHint;
    }
    if (icons & biHelp) f |= Qt::WindowContextHelpButtonHint;
    return f;
}

void TForm::SetBorderStyle(TFormBorderStyle s)
{
    borderStyle = s;
    bool shown = widget->isVisible();
    widget->setWindowFlags(FlagsFor(borderStyle, borderIcons));
    if (FixedSize()) SetInnerSize(widget->size());
    else ApplyConstraints();
    if (shown) widget->show();
}

void TForm::SetBorderIcons(TBorderIcons icons)
{
    borderIcons = icons;
    bool shown = widget->isVisible();
    widget->setWindowFlags(FlagsFor(borderStyle, borderIcons));
    if (shown) widget->show();
}

void TForm::SetPosition(TPosition p)
{
    position = p;
    leftPlaced = topPlaced = false;
}

void TForm::ApplyPosition()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect around;
    switch (position) {
    case poScreenCenter: case poDesktopCenter: around = area; break;
    case poMainFormCenter: case poOwnerFormCenter: {
        TForm* main = Application ? Application->MainForm() : nullptr;
        around = (main && main != this) ? main->BoundsRect() : area;
        break;
    }
    default: return;
    }
    const int left = leftPlaced ? Left() : around.x() + (around.width() - Width()) / 2;
    const int top = topPlaced ? Top() : around.y() + (around.height() - Height()) / 2;
    widget->move(left, top);
}

void TForm::SetWindowState(TWindowState s)
{
    windowState = s;
    if (!visible) return;
    if (s == wsMaximized) widget->showMaximized();
    else if (s == wsMinimized) widget->showMinimized();
    else widget->showNormal();
}

void TForm::SetConstraints(const TSizeConstraints& c)
{
    constraints = c;
    ApplyConstraints();
}

// Qt limits the inner size: the outer limits less the frame as it is now.
// Applied again whenever the frame changes (FrameMaybeChanged).
void TForm::ApplyConstraints()
{
    const TSizeConstraints& c = constraints;
    QSize extra = FrameExtra();
    if (FixedSize()) {
        SetInnerSize(widget->size());
        return;
    }
    int minW = std::max(0, c.MinWidth - extra.width()), minH = std::max(0, c.MinHeight - extra.height());
    int maxW = c.MaxWidth > 0 ? std::max(minW, c.MaxWidth - extra.width()) : QWIDGETSIZE_MAX;
    int maxH = c.MaxHeight > 0 ? std::max(minH, c.MaxHeight - extra.height()) : QWIDGETSIZE_MAX;
    widget->setMinimumSize(minW, minH);
    widget->setMaximumSize(std::max(1, maxW), std::max(1, maxH));
}

bool TForm::HandleEvent(QObject* watched, QEvent* event)
{
    if (watched == widget) {
        switch (event->type()) {
        case QEvent::Close:
            event->ignore();
            if (!closing) UserClose();
            return true;
        case QEvent::Move:
            // A window manager reports its frame some time after the show.
            FrameMaybeChanged();
            return false;
        case QEvent::Resize:
            FrameMaybeChanged();
            LayoutClient();
            if (OnResize) SafeCall([this] { OnResize(this); });
            return false;
        case QEvent::WindowActivate:
            if (OnActivate) SafeCall([this] { OnActivate(this); });
            return false;
        case QEvent::Show:
            // The window system may show it (for instance a maximised start).
            FrameMaybeChanged();
            return false;
        default:
            break;
        }
    }
    if ((watched == widget || watched == client) && event->type() == QEvent::KeyPress) {
        // A key that no control took: Esc presses the Cancel button, Enter
        // the Default button.
        int key = static_cast<QKeyEvent*>(event)->key();
        bool esc = key == Qt::Key_Escape;
        bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (esc || enter) {
            for (int i = 0; i < ComponentCount(); ++i) {
                auto* b = dynamic_cast<TButton*>(Components(i));
                if (b && (esc ? b->Cancel() : b->Default()) && b->Showing() && b->Enabled()) {
                    SafeCall([b] { b->Click(); });
                    return true;
                }
            }
        }
        return false;
    }
    return TControl::HandleEvent(watched, event);
}

// ---------------------------------------------------------------- Halt

static THaltHook haltHook;

THaltHook SetHaltHook(THaltHook hook)
{
    THaltHook before = std::move(haltHook);
    haltHook = std::move(hook);
    return before;
}

void Halt(int status)
{
    if (haltHook) {
        haltHook(status);
    } else {
        std::fflush(nullptr);
        std::exit(status);
    }
    throw EHalt(status);
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication() : TComponent(nullptr) {}

void TApplication::SetTitle(const QString& t)
{
    title = t;
    QCoreApplication::setApplicationName(t);
}

void TApplication::FormConstructing(TForm*)
{
    if (!pendingAssign) return;
    auto assign = std::move(pendingAssign);
    pendingAssign = nullptr;
    assign();
}

void TApplication::FormDestroying(TForm* form)
{
    releaseQueue.erase(std::remove(releaseQueue.begin(), releaseQueue.end(), form), releaseQueue.end());
    if (mainForm == form) mainForm = nullptr;
}

void TApplication::FreeReleased()
{
    // A handler that let events run may belong to a released window: free it
    // only when every running handler has returned.
    if (RunningHandlers() > 0) {
        if (!releaseQueue.empty())
            QTimer::singleShot(50, qApp, [] { if (Application) Application->FreeReleased(); });
        return;
    }
    while (!releaseQueue.empty()) {
        TForm* f = releaseQueue.front();
        releaseQueue.erase(releaseQueue.begin());
        delete f;
    }
}

void TApplication::Run()
{
    if (terminated) return;
    qApp->setQuitOnLastWindowClosed(false);
    if (mainForm) SafeCall([this] { mainForm->Show(); });
    if (terminated) return;
    running = true;
    QApplication::exec();
    running = false;
    FreeReleased();
}

void TApplication::Terminate()
{
    terminated = true;
    if (running) QCoreApplication::exit(0);
}

// Holds back user input while ProcessMessages runs; it is delivered again
// afterwards, when the event loop runs.
class TInputHoldBack : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::Wheel: case QEvent::Shortcut:
        case QEvent::ShortcutOverride: case QEvent::ContextMenu:
        case QEvent::TouchBegin: case QEvent::TouchUpdate: case QEvent::TouchEnd:
            held.push_back({QPointer<QObject>(watched), event->clone()});
            return true;
        default:
            return false;
        }
    }
    std::vector<std::pair<QPointer<QObject>, QEvent*>> held;
};

void TApplication::ProcessMessages()
{
    static int depth = 0;
    static TInputHoldBack* holdBack = nullptr;
    if (depth == 0) {
        holdBack = new TInputHoldBack;
        qApp->installEventFilter(holdBack);
    }
    ++depth;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    --depth;
    if (depth == 0) {
        qApp->removeEventFilter(holdBack);
        for (auto& [receiver, event] : holdBack->held) {
            if (receiver) QCoreApplication::postEvent(receiver, event);
            else delete event;
        }
        delete holdBack;
        holdBack = nullptr;
    }
    FreeReleased();
}

void TApplication::ShowException(const std::exception& e)
{
    if (auto* ex = dynamic_cast<const Exception*>(&e)) ShowException(ex->Message);
    else ShowException(QString::fromUtf8(e.what()));
}

void TApplication::ShowException(const QString& message)
{
    try {
        Dialogs().ShowMessage(message);
    } catch (...) {
    }
}

void TApplication::ResetForTests()
{
    mainForm = nullptr;
    terminated = false;
    FreeReleased();
}

int TScreen::Width() const
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

int TScreen::Height() const
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}

TScreen* Screen()
{
    static TScreen screen;
    return &screen;
}
