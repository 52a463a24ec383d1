#pragma once
// Controls built in code on Qt Widgets. Each control is created with its
// owner (the form: creation order = component order) and its parent control
// (where it stands), then placed with SetBounds as the form resource gives:
//     OKButton = new TButton(this, Panel1);
//     OKButton->Name = "OKButton";
//     OKButton->SetBounds(144, 558, 89, 33);
//     OKButton->SetCaption("OK");
//     OKButton->OnClick = Bind(this, &THelpForm::OKButtonClick);
//
// Event rules: setting Checked, ItemIndex or an edit's Text from code runs the
// click or change handler when, and only when, the value changes (directly,
// exceptions go to the caller); a user's change runs the same handler once
// (through SafeCall). Items changes never run handlers.
#include "Classes.h"

#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <memory>

class QEvent;
class TPopupMenu;
class TEventSink;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TForm;
// The form a component belongs to (itself when it is one), or nullptr.
TForm* FormOf(TComponent* c);

// Sets a colour of the active and inactive groups only: the disabled group
// keeps its greys (see ReadableDisabledText), so a disabled control is drawn
// greyed whatever colour its font or its rows were given.
void SetEnabledColor(QPalette& palette, QPalette::ColorRole role, const QColor& color);

// The contrast of two colours by their relative luminance, as WCAG counts
// it: 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// The colour of a disabled control's text on the given background: a grey
// as light as the enabled text, taken toward the background as far as it
// stays readable (4.5:1). So it is greyed on any background, shows no font
// colour and is never paler than that. Text that is not that readable even
// when enabled is left as it is.
QColor ReadableDisabledText(const QColor& background, const QColor& enabledText);

// ---------------------------------------------------------------- TControl

class TControl : public TComponent {
public:
    // AParent: the control it stands on (a form, panel, group box, tool bar);
    // nullptr only for forms.
    TControl(TComponent* AOwner, TControl* AParent, QWidget* widget);
    ~TControl() override;

    TControl* Parent() const { return parent; }

    // Geometry in pixels, relative to the parent's client area (forms: outer
    // bounds on the screen).
    virtual int Left() const;
    virtual int Top() const;
    virtual int Width() const;
    virtual int Height() const;
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    virtual void SetClientWidth(int w);
    virtual void SetClientHeight(int h);
    QRect BoundsRect() const { return QRect(Left(), Top(), Width(), Height()); }
    QRect ClientRect() const { return QRect(0, 0, ClientWidth(), ClientHeight()); }

    // The control's own Visible flag (not "is on screen").
    bool Visible() const { return visible; }
    virtual void SetVisible(bool v);
    virtual void Show() { SetVisible(true); }
    virtual void Hide() { SetVisible(false); }
    // Visible and every parent visible (the window shown).
    bool Showing() const;

    bool Enabled() const { return enabled; }
    virtual void SetEnabled(bool v);

    QString Hint() const { return hint; }
    void SetHint(const QString& h);
    bool ShowHint() const { return showHint; }
    void SetShowHint(bool v);

    // Caption and Text are the same text of a control (the one it shows).
    virtual QString Caption() const { return text; }
    virtual void SetCaption(const QString& c);
    QString Text() const { return Caption(); }
    void SetText(const QString& t) { SetCaption(t); }

    TFont* Font() { return &font; }
    TColor Color() const { return color; }
    virtual void SetColor(const TColor& c);

    TAlign Align() const { return align; }
    void SetAlign(TAlign a);

    TPopupMenu* PopupMenu() const { return popupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    // A point in the coordinates of the mouse events (the input area: a
    // list's rows, a form's client area) as a point on the screen.
    QPoint ClientToScreen(const QPoint& p) const;

    void SetFocus();
    bool Focused() const;
    // Runs OnClick (directly, as a click from code).
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    // The mouse pointer has left the control (or its input area).
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Qt side.
    QWidget* Widget() const { return widget; }
    // Where child controls are placed (a group box's or form's inner area).
    virtual QWidget* ClientWidget() const { return widget; }
    // Lays out the children with an Align (on resize).
    void Realign();
    // Handles a Qt event of the widget or its input area; true = consumed.
    virtual bool HandleEvent(QObject* watched, QEvent* event);

protected:
    // Context object of the control's signal connections (they end with it).
    QObject* Context() const;
    // Input widget that receives mouse events (a list's viewport).
    void WatchInput(QWidget* w);
    virtual void ApplyFont();
    // Gives the disabled group's text colours the readable greys of their
    // backgrounds; run again whenever the palette changes, the parent's
    // included.
    void ReadableDisabledTexts();
    // Labels, panels, images: press and release inside run OnClick.
    bool clickOnRelease = false;
    QPointer<QWidget> widget;
    QString text;

private:
    QPointer<QWidget> input;   // the input area given to WatchInput, if any
    friend class TForm;
    TControl* parent = nullptr;
    std::vector<TControl*> children;
    bool visible = true;
    bool enabled = true;
    bool showHint = true;
    bool pressed = false;
    QString hint;
    TFont font;
    TColor color = clDefault;
    TAlign align = alNone;
    TPopupMenu* popupMenu = nullptr;
    QPointer<QObject> sink;
};
