#pragma once
// The ground of the component framework: objects, components with their
// owner, Name, Tag and ordered list of owned components, string lists, the
// event types, the one event dispatcher, colours, fonts and canvases.
//
// Properties are methods (Caption()/SetCaption()); Name and Tag are plain
// public members of every component. Events are public std::function members
// taking the sender first, bound to a form's member function with Bind:
//     OKButton->OnClick = Bind(this, &TMyForm::OKButtonClick);
#include "Exceptions.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPainter;
class QWidget;

// ---------------------------------------------------------------- objects

class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    QString Name;   // compared exactly (case-sensitive)
    int Tag = 0;

    TComponent* Owner() const { return owner; }
    // The owned components in creation order.
    int ComponentCount() const { return int(components.size()); }
    TComponent* Components(int index) const;
    // First owned component whose Name equals name exactly, or nullptr.
    TComponent* FindComponent(const QString& name) const;
    // Frees every owned component (last created first).
    void DestroyComponents();

private:
    TComponent* owner = nullptr;
    std::vector<TComponent*> components;
};

// ---------------------------------------------------------------- events

using WORD = unsigned short;

// Shift state: a set of these bits.
enum TShiftStateBits { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = int;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Virtual-key codes delivered to OnKeyDown (letters and digits are their
// upper-case ASCII codes, 'A' = 65, '0' = 48).
constexpr WORD VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17,
               VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35,
               VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
               VK_INSERT = 45, VK_DELETE = 46, VK_F1 = 112;
// The punctuation keys (the signs of a US keyboard, unshifted and shifted).
constexpr WORD VK_OEM_1 = 0xBA,        // ; :
               VK_OEM_PLUS = 0xBB,     // = +
               VK_OEM_COMMA = 0xBC,    // , <
               VK_OEM_MINUS = 0xBD,    // - _
               VK_OEM_PERIOD = 0xBE,   // . >
               VK_OEM_2 = 0xBF,        // / ?
               VK_OEM_3 = 0xC0,        // ` ~
               VK_OEM_4 = 0xDB,        // [ {
               VK_OEM_5 = 0xDC,        // \ |
               VK_OEM_6 = 0xDD,        // ] }
               VK_OEM_7 = 0xDE;        // ' "
// A key that has none of these codes: it reads as no letter, digit or named
// key.
constexpr WORD VK_NONE = 0xFF;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
// Key = the typed character; setting it to 0 swallows the key.
using TKeyPressEvent = std::function<void(TObject* Sender, QChar& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// Binds a member function of an object as an event handler:
//     Button1->OnClick = Bind(this, &TForm1::Button1Click);
template <class C, class R, class... Args>
std::function<R(Args...)> Bind(C* object, R (C::*method)(Args...))
{
    return [object, method](Args... args) -> R { return (object->*method)(std::forward<Args>(args)...); };
}

// The one dispatcher through which every handler started by Qt (a signal, an
// input or paint event) runs: it catches any exception, shows its message
// through Application->ShowException and returns normally, so no C++
// exception crosses Qt's event loop. Handlers run from code (SetChecked,
// SetText, Click ...) are called directly: their exceptions go to the caller.
void SafeCall(const std::function<void()>& handler);
// How many handlers started through SafeCall are running now; windows
// released meanwhile are freed only once none is.
int RunningHandlers();

// ---------------------------------------------------------------- string lists

// An ordered list of texts with an object pointer per text. Controls hand out
// their item lists as TStrings (ListBox->Items()->Add("x")).
// Raises EListError("List index out of bounds (index)") unless 0 <= index < count.
void CheckListIndex(int index, int count);

class TStrings {
public:
    virtual ~TStrings() = default;
    virtual int Count() const = 0;
    virtual QString Strings(int index) const = 0;
    virtual void SetStrings(int index, const QString& s) = 0;
    virtual void Insert(int index, const QString& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual TObject* Objects(int index) const { return nullptr; }
    virtual void SetObjects(int index, TObject* object) {}
    // Appends (a sorted list inserts at its place); returns the new index.
    virtual int Add(const QString& s);
    int AddObject(const QString& s, TObject* object);
    // First index whose text equals s exactly (UTF-16 code units), or -1.
    int IndexOf(const QString& s) const;
    QString operator[](int index) const { return Strings(index); }
    // TStringList: every line followed by "\r\n". Memo and rich-edit lines
    // override it: the lines joined by "\r\n" (the control's text).
    virtual QString Text() const;
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    virtual void SetText(const QString& text);
    QStringList ToStringList() const;
    void Assign(const QStringList& lines);
    void AddStrings(const QStringList& lines);
    void BeginUpdate() {}
    void EndUpdate() {}
};

// The plain list of texts (not bound to a control).
class TStringList : public TStrings {
public:
    TStringList() = default;
    TStringList(const QStringList& lines) { Assign(lines); }
    int Count() const override { return int(items.size()); }
    QString Strings(int index) const override;
    void SetStrings(int index, const QString& s) override;
    void Insert(int index, const QString& s) override;
    void Delete(int index) override;
    void Clear() override { items.clear(); }
    TObject* Objects(int index) const override;
    void SetObjects(int index, TObject* object) override;
    int Add(const QString& s) override;
    // Sorted lists keep their items ordered (case-insensitive, like the
    // platform's list boxes) and insert new ones at their place.
    bool Sorted() const { return sorted; }
    void SetSorted(bool value);

private:
    struct Item { QString text; TObject* object = nullptr; };
    std::vector<Item> items;
    bool sorted = false;
};

// Splits text at CR LF, LF or CR (a final break adds no empty line).
QStringList SplitLines(const QString& text);
// Case-insensitive order of sorted list boxes and string lists.
int CompareTextForSort(const QString& a, const QString& b);

// ---------------------------------------------------------------- colours

using TColor = QColor;   // an invalid colour means "the control's default" (clDefault / clWindow)
inline const TColor clDefault = QColor();
inline const TColor clNone = QColor();
inline const TColor clBlack = QColor(0, 0, 0);
inline const TColor clWhite = QColor(255, 255, 255);
inline const TColor clSilver = QColor(192, 192, 192);
inline const TColor clGray = QColor(128, 128, 128);
inline const TColor clRed = QColor(255, 0, 0);
inline const TColor clGreen = QColor(0, 128, 0);
inline const TColor clBlue = QColor(0, 0, 255);
inline const TColor clYellow = QColor(255, 255, 0);
inline const TColor clSkyBlue = QColor(166, 202, 240);
inline const TColor clMoneyGreen = QColor(192, 220, 192);
inline const TColor clCream = QColor(255, 251, 240);
inline const TColor clWindow = QColor(255, 255, 255);
inline const TColor clWindowText = QColor(0, 0, 0);
inline const TColor clBtnFace = QColor(240, 240, 240);
inline const TColor clMenu = QColor(240, 240, 240);
inline const TColor cl3DLight = QColor(227, 227, 227);
inline const TColor clHighlight = QColor(0, 120, 215);
inline const TColor clHighlightText = QColor(255, 255, 255);

// ---------------------------------------------------------------- fonts

// A control's font. Height < 0 is a character height in pixels (the form
// resources' convention), Size is in points; setting one replaces the other.
class TFont {
public:
    QString Name() const { return font.family(); }
    void SetName(const QString& name);
    int Size() const;
    void SetSize(int points);
    int Height() const;
    void SetHeight(int height);
    bool Bold() const { return font.bold(); }
    void SetBold(bool bold);
    bool Italic() const { return font.italic(); }
    void SetItalic(bool italic);
    TColor Color() const { return color; }
    void SetColor(const TColor& c);
    const QFont& QtFont() const { return font; }
    void SetQtFont(const QFont& f);
    // Called after every change (the control applies the font).
    std::function<void()> OnChange;

private:
    void Changed() { if (OnChange) OnChange(); }
    QFont font;
    TColor color = clWindowText;
};

// ---------------------------------------------------------------- canvas

struct TBrush { TColor Color = clWindow; };

// Drawing surface: while a control paints (owner-drawn list box, list view
// custom draw) it draws with that painter; an image's canvas draws on its
// picture.
class TCanvas {
public:
    TBrush* Brush = &brush;
    TFont* Font = &font;
    void FillRect(const QRect& rect);
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

    // Framework side.
    void BeginPaint(QPainter* painter) { this->painter = painter; }
    void EndPaint() { painter = nullptr; }
    void SetTarget(QImage* image) { target = image; }

private:
    template <class F> void Draw(F f);
    TBrush brush;
    TFont font;
    QPainter* painter = nullptr;
    QImage* target = nullptr;
};
