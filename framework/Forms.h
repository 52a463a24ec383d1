#pragma once
// Windows and the application object.
//
// A window class derives from TForm and builds its components in its
// constructor, in the order of the form resource:
//     class THelpForm : public TForm {
//     public:
//         explicit THelpForm(TComponent* AOwner);
//         TButton* CloseButton;
//         void CloseButtonClick(TObject* Sender);
//     };
//     extern THelpForm* HelpForm;
//     ...  Application->CreateForm(HelpForm);   // HelpForm set before the body runs
//
// Geometry: Left/Top/Width/Height are the outer bounds on the screen (frame
// included; offscreen there is no frame, so outer = client size plus the
// menu bar). ClientWidth/ClientHeight are the inner area below the menu bar.
// Whichever was set last is kept when the menu bar comes, goes or changes its
// height: a window sized by its client area grows by the bar, one sized by
// its outer bounds gives the bar's room from its client area.
//
// Every window starts with the framework's default font, "Tahoma" at 11
// pixels, like the platform's forms; windows that name another font set it
// in their constructor. Windows fonts are drawn with installed
// metric-compatible stand-ins (TFont).
#include "Controls.h"
#include "Dialogs.h"
#include "Menus.h"

#include <exception>
#include <new>

class QMenuBar;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIconBits { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = int;
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

struct TSizeConstraints { int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0; };

class TForm : public TControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    void SetCaption(const QString& c) override;

    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int w) override;
    void SetClientHeight(int h) override;
    QWidget* ClientWidget() const override { return client; }

    // Show: makes the window visible; runs OnShow only when it was hidden.
    void Show() override;
    // Hide: hides; runs OnHide when it was visible; never OnClose.
    void Hide() override;
    void SetVisible(bool v) override;
    // Close: OnCloseQuery, then OnClose with the action (caHide by default):
    // caHide hides, caFree hides and frees the window after the handler has
    // returned (deferred), caNone does nothing. Runs also on a hidden window.
    // Closing the main form ends the application's Run.
    void Close();
    // Frees the window once control is back in the event loop (or at the
    // next ProcessMessages).
    void Release();
    // Runs the window modally until ModalResult is set (a button with a
    // ModalResult, or code); returns it. The window is hidden afterwards.
    int ShowModal();
    int ModalResult = mrNone;
    void BringToFront();

    TFormBorderStyle BorderStyle() const { return borderStyle; }
    void SetBorderStyle(TFormBorderStyle s);
    TBorderIcons BorderIcons() const { return borderIcons; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position; }
    // Applied at the first Show to each coordinate that code has not moved
    // since SetPosition: a Left set before then (side by side) is kept and
    // the Top still centred, and the reverse; a window moved by both keeps
    // both. Centring counts the frame the show adds. So call SetPosition
    // after the constructor's geometry. poMainFormCenter and
    // poOwnerFormCenter centre on MainForm.
    void SetPosition(TPosition p);
    TWindowState WindowState() const { return windowState; }
    void SetWindowState(TWindowState s);
    TSizeConstraints Constraints() const { return constraints; }
    // Outer limits (0 = none). They hold from the moment they are set: when
    // the window system adds or changes the frame (at the first Show) they
    // are applied again, so the outer size stays within them.
    void SetConstraints(const TSizeConstraints& c);
    // The form's OnKeyDown and OnKeyPress see every key of its controls
    // before the control does; a Key set to 0 there swallows it.
    bool KeyPreview = false;
    bool Active() const;

    TMainMenu* Menu() const { return menu; }
    void SetMenu(TMainMenu* m);
    // Framework side: the menu's items or captions changed (its bar may need
    // another height).
    void MenuChanged();

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnResize;
    TNotifyEvent OnActivate;
    TNotifyEvent OnCreate;   // not run by the framework: constructors do the work

    bool HandleEvent(QObject* watched, QEvent* event) override;
    // Framework side: the user's close box (always through SafeCall).
    void UserClose();
    // Places the window by Position, the coordinates not moved by code only
    // (called on the first Show).
    void ApplyPosition();

protected:
    void ApplyFont() override;

private:
    void LayoutClient();
    QSize FrameExtra() const;
    void SetInnerSize(QSize inner);
    void ApplyConstraints();
    // Keeps the outer size that code asked for (or the client size, when
    // that was set last) once the frame is known or changes.
    void FrameMaybeChanged();
    bool FixedSize() const;
    QWidget* client = nullptr;
    TMainMenu* menu = nullptr;
    int menuHeight = 0;   // the bar height the window's size accounts for
    TFormBorderStyle borderStyle = bsSizeable;
    TBorderIcons borderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition position = poDesigned;
    TWindowState windowState = wsNormal;
    TSizeConstraints constraints;
    bool leftPlaced = false, topPlaced = false;   // moved by code since SetPosition
    bool outerWidth = false, outerHeight = false;   // last set as outer size (else as client size)
    QSize lastExtra{0, 0};                           // the frame as last seen
    bool closing = false;
    bool releasePending = false;
};

// Thrown by Halt after the halt hook has run: nothing after Halt runs.
class EHalt : public std::exception {
public:
    explicit EHalt(int status) : ExitCode(status) {}
    const char* what() const noexcept override { return "Halt"; }
    int ExitCode;
};

// Ends the process at once with the status. The hook (default: std::exit)
// runs first; tests install one that records the status, then EHalt is thrown
// (SafeCall swallows it and terminates the application).
[[noreturn]] void Halt(int status);
using THaltHook = std::function<void(int status)>;
THaltHook SetHaltHook(THaltHook hook);

class TApplication : public TComponent {
public:
    TApplication();
    void Initialize() {}
    QString Title() const { return title; }
    void SetTitle(const QString& t);
    bool MainFormOnTaskBar = true;
    TForm* MainForm() const { return mainForm; }

    // Creates a window owned by the application; ref is set from the TForm
    // base constructor on (before the derived constructor body runs). The
    // first window becomes MainForm. A constructor that throws: the window is
    // destroyed, ref set to nullptr and the exception passed on.
    //
    // The T* handed out early is the address of the storage the window is
    // being built in, taken before construction: a cast of the TForm base to
    // T while T is not yet constructed would be undefined. The storage comes
    // from the allocation function that the window's later delete returns it
    // to.
    template <class T> void CreateForm(T*& ref)
    {
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "CreateForm allocates with the default alignment");
        void* storage = ::operator new(sizeof(T));
        T* early = static_cast<T*>(storage);
        pendingAssign = [&ref, early] { ref = early; };
        T* form = nullptr;
        try {
            form = ::new (storage) T(this);
        } catch (...) {
            pendingAssign = nullptr;
            ref = nullptr;
            // Unsized: clang leaves sized deallocation off by default, and the
            // unsized form is always right for what ::operator new gave.
            ::operator delete(storage);
            throw;
        }
        pendingAssign = nullptr;
        ref = form;
        if (!mainForm) mainForm = form;
    }

    // Shows the main form and runs the event loop until the main form closes
    // or Terminate.
    void Run();
    // Runs pending events once, not delivering user input (clicks, keys wait
    // until the event loop runs again).
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated; }
    // Shows an exception's message in a message box (Exception::Message, or
    // what() of another std::exception).
    void ShowException(const std::exception& e);
    void ShowException(const QString& message);

    // Framework side.
    void FormConstructing(TForm* form);
    void FormDestroying(TForm* form);
    void FreeReleased();
    void ResetForTests();   // forgets MainForm and Terminated
    std::vector<TForm*> releaseQueue;
private:
    QString title;
    TForm* mainForm = nullptr;
    bool terminated = false;
    bool running = false;
    std::function<void()> pendingAssign;
};

extern TApplication* Application;

// The screen's size in pixels.
struct TScreen { int Width() const; int Height() const; };
TScreen* Screen();
