#include "Controls.h"
#include "Forms.h"
#include "Menus.h"
#include "Text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

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
    case Qt::Key_Tab: return VK_TAB;
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
    default: break;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return WORD(key);      // 'A'..'Z'
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return WORD(key);      // '0'..'9'
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return WORD(VK_F1 + (key - Qt::Key_F1));
    return WORD(key & 0xFFFF);
}

static TForm* FormOf(TComponent* c)
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

void TControl::ApplyFont()
{
    widget->setFont(font.QtFont());
    QPalette p = widget->palette();
    if (font.Color().isValid()) {
        p.setColor(QPalette::WindowText, font.Color());
        p.setColor(QPalette::Text, font.Color());
        p.setColor(QPalette::ButtonText, font.Color());
    }
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
    default:
        return false;
    }
}

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QLabel)
{
    clickOnRelease = true;
    label()->setTextFormat(Qt::PlainText);
    label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QLabel* TLabel::label() const { return static_cast<QLabel*>(widget.data()); }

void TLabel::SetCaption(const QString& c)
{
    text = c;
    label()->setText(CaptionText(c));
    FitToText();
}

void TLabel::FitToText()
{
    if (!autoSize) return;
    QSize s = label()->sizeHint();
    widget->resize(std::max(s.width(), 1), std::max(s.height(), widget->height()));
}

bool TLabel::HandleEvent(QObject* watched, QEvent* event)
{
    if (watched == widget && event->type() == QEvent::FontChange && autoSize && !text.isEmpty()) {
        // The label has not yet dropped its size hint for the old font.
        const QString shown = label()->text();
        label()->clear();
        label()->setText(shown);
        FitToText();
    }
    return TControl::HandleEvent(watched, event);
}

void TLabel::SetAutoSize(bool v) { autoSize = v; }
void TLabel::SetWordWrap(bool v) { label()->setWordWrap(v); }
void TLabel::SetTransparent(bool v) { widget->setAutoFillBackground(!v && Color().isValid()); }

void TLabel::SetAlignment(TAlignment a)
{
    Qt::Alignment h = a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    label()->setAlignment(h | Qt::AlignTop);
}

void TLabel::SetColor(const TColor& c) { TControl::SetColor(c); }

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QPushButton)
{
    QObject::connect(button(), &QPushButton::clicked, Context(), [this] { SafeCall([this] { Click(); }); });
    button()->setAutoDefault(false);
}

TButton::~TButton() = default;

QPushButton* TButton::button() const { return static_cast<QPushButton*>(widget.data()); }

void TButton::SetCaption(const QString& c)
{
    text = c;
    button()->setText(c);
}

void TButton::SetCancel(bool v)
{
    cancel = v;   // the form presses it on an Esc key that no control took
}

void TButton::SetDefault(bool v)
{
    isDefault = v;
    button()->setDefault(v);
}

void TButton::Click()
{
    if (ModalResult != 0)
        if (TForm* f = FormOf(this)) f->ModalResult = ModalResult;
    TControl::Click();
}

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QLineEdit)
{
    QObject::connect(LineEdit(), &QLineEdit::textEdited, Context(), [this] {
        if (OnChange) SafeCall([this] { OnChange(this); });
    });
}

QLineEdit* TEdit::LineEdit() const { return static_cast<QLineEdit*>(widget.data()); }
QString TEdit::Caption() const { return LineEdit()->text(); }

void TEdit::SetCaption(const QString& c)
{
    if (LineEdit()->text() == c) return;
    QString before = LineEdit()->text();
    LineEdit()->setText(c);
    if (LineEdit()->text() != before && OnChange) OnChange(this);
}

bool TEdit::ReadOnly() const { return LineEdit()->isReadOnly(); }
void TEdit::SetReadOnly(bool v) { LineEdit()->setReadOnly(v); }

void TEdit::SetMaxLength(int n)
{
    maxLength = n;
    LineEdit()->setMaxLength(n > 0 ? n : 32767);
}

void TEdit::SetNumbersOnly(bool v)
{
    numbersOnly = v;
    if (v)
        LineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), LineEdit()));
    else
        LineEdit()->setValidator(nullptr);
}

void TEdit::SetAlignment(TAlignment a)
{
    LineEdit()->setAlignment(a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
}

void TEdit::SelectAll() { LineEdit()->selectAll(); }
int TEdit::SelStart() const { return LineEdit()->cursorPosition(); }
void TEdit::SetSelStart(int pos) { LineEdit()->setCursorPosition(pos); }

void TEdit::SetColor(const TColor& c)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Base, c.isValid() ? c : QApplication::palette().color(QPalette::Base));
    widget->setPalette(p);
}

// ---------------------------------------------------------------- TMemo

// Lines of a memo or rich edit over its plain text with "\n" line ends.
class TTextLines : public TStrings {
public:
    QStringList Get() const
    {
        QString t = PlainText();
        if (t.isEmpty()) return {};
        QStringList l = t.split(u'\n');
        if (l.size() > 1 && l.back().isEmpty()) l.removeLast();
        return l;
    }
    void Put(const QStringList& l) { SetPlain(l.join(u'\n')); }
    int Count() const override { return int(Get().size()); }
    QString Strings(int index) const override
    {
        QStringList l = Get();
        if (index < 0 || index >= l.size()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
        return l[index];
    }
    void SetStrings(int index, const QString& s) override
    {
        QStringList l = Get();
        if (index < 0 || index >= l.size()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
        l[index] = s;
        Put(l);
    }
    void Insert(int index, const QString& s) override
    {
        QStringList l = Get();
        if (index < 0 || index > l.size()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
        l.insert(index, s);
        Put(l);
    }
    void Delete(int index) override
    {
        QStringList l = Get();
        if (index < 0 || index >= l.size()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
        l.removeAt(index);
        Put(l);
    }
    void Clear() override { SetPlain(QString()); }
    QString Text() const override { QString t = PlainText(); t.replace(u'\n', QStringLiteral("\r\n")); return t; }
    void SetText(const QString& text) override { SetPlain(ToLf(text)); }
    static QString ToLf(QString t)
    {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(u'\r', u'\n');
        return t;
    }
    virtual QString PlainText() const = 0;
    virtual void SetPlain(const QString& lfText) = 0;
};

class TMemoLines : public TTextLines {
public:
    explicit TMemoLines(TMemo* m) : memo(m) {}
    QString PlainText() const override { return memo->TextEdit()->toPlainText(); }
    void SetPlain(const QString& lfText) override
    {
        if (PlainText() == lfText) return;
        memo->SetPlainText(lfText);
        memo->ContentChanged();
    }
    TMemo* memo;
};

TMemo::TMemo(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QPlainTextEdit)
{
    lines = std::make_unique<TMemoLines>(this);
    WatchInput(TextEdit()->viewport());
    QObject::connect(TextEdit(), &QPlainTextEdit::textChanged, Context(), [this] {
        if (!settingFromCode && OnChange) SafeCall([this] { OnChange(this); });
    });
}

TMemo::~TMemo() = default;

QPlainTextEdit* TMemo::TextEdit() const { return static_cast<QPlainTextEdit*>(widget.data()); }
TStrings* TMemo::Lines() { return lines.get(); }
QString TMemo::Caption() const { return lines->Text(); }

void TMemo::SetCaption(const QString& c) { lines->SetText(c); }

void TMemo::SetPlainText(const QString& lfText)
{
    settingFromCode = true;
    TextEdit()->setPlainText(lfText);
    settingFromCode = false;
}

void TMemo::ContentChanged()
{
    if (OnChange) OnChange(this);
}

bool TMemo::ReadOnly() const { return TextEdit()->isReadOnly(); }
void TMemo::SetReadOnly(bool v) { TextEdit()->setReadOnly(v); }
void TMemo::SetWordWrap(bool v) { TextEdit()->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap); }

void TMemo::SetScrollBars(bool vertical, bool horizontal)
{
    TextEdit()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    TextEdit()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
}

void TMemo::SetColor(const TColor& c)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Base, c.isValid() ? c : QApplication::palette().color(QPalette::Base));
    widget->setPalette(p);
}

void TMemo::SelectAll() { TextEdit()->selectAll(); }

void TMemo::CopyToClipboard()
{
    QString s = TextEdit()->textCursor().selectedText();
    s.replace(QChar(0x2029), QStringLiteral("\r\n"));
    Clipboard()->SetAsText(s);
}

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QCheckBox)
{
    QObject::connect(box(), &QCheckBox::clicked, Context(), [this] { SafeCall([this] { Click(); }); });
}

QCheckBox* TCheckBox::box() const { return static_cast<QCheckBox*>(widget.data()); }

void TCheckBox::SetCaption(const QString& c)
{
    text = c;
    box()->setText(c);
}

bool TCheckBox::Checked() const { return box()->isChecked(); }

void TCheckBox::SetChecked(bool v)
{
    if (box()->isChecked() == v) return;
    box()->setChecked(v);
    Click();
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QGroupBox) {}

QGroupBox* TGroupBox::group() const { return static_cast<QGroupBox*>(widget.data()); }

void TGroupBox::SetCaption(const QString& c)
{
    text = c;
    group()->setTitle(c);
}

// ---------------------------------------------------------------- TRadioGroup

class TRadioItems : public TStringList {
public:
    explicit TRadioItems(TRadioGroup* g) : group(g) {}
    void SetStrings(int index, const QString& s) override { TStringList::SetStrings(index, s); group->RebuildButtons(); }
    void Insert(int index, const QString& s) override { TStringList::Insert(index, s); group->RebuildButtons(); }
    void Delete(int index) override { TStringList::Delete(index); group->RebuildButtons(); }
    void Clear() override { TStringList::Clear(); group->RebuildButtons(); }
    TRadioGroup* group;
};

TRadioGroup::TRadioGroup(TComponent* AOwner, TControl* AParent) : TGroupBox(AOwner, AParent)
{
    items = std::make_unique<TRadioItems>(this);
    buttonGroup = new QButtonGroup(widget);
    QObject::connect(buttonGroup, &QButtonGroup::idClicked, Context(), [this](int id) {
        if (id == itemIndex) return;
        itemIndex = id;
        SafeCall([this] { Click(); });
    });
}

TRadioGroup::~TRadioGroup() = default;

TStrings* TRadioGroup::Items() { return items.get(); }

void TRadioGroup::RebuildButtons()
{
    for (auto& b : buttons) delete b.data();
    buttons.clear();
    for (int i = 0; i < items->Count(); ++i) {
        auto* b = new QRadioButton(items->Strings(i), widget);
        buttonGroup->addButton(b, i);
        b->show();
        buttons.emplace_back(b);
    }
    if (itemIndex >= items->Count()) itemIndex = -1;
    if (itemIndex >= 0) buttons[size_t(itemIndex)]->setChecked(true);
    Layout();
}

void TRadioGroup::SetColumns(int n)
{
    columns = std::max(1, n);
    Layout();
}

void TRadioGroup::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    Layout();
}

void TRadioGroup::Layout()
{
    int n = int(buttons.size());
    if (n == 0) return;
    int rows = (n + columns - 1) / columns;
    int top = 16, avail = std::max(1, Height() - top - 4);
    int rowH = std::max(1, avail / rows);
    int colW = std::max(1, (Width() - 16) / columns);
    for (int i = 0; i < n; ++i) {
        int col = i / rows, row = i % rows;
        int h = std::min(rowH, 20);
        buttons[size_t(i)]->setGeometry(8 + col * colW, top + row * rowH + (rowH - h) / 2, colW - 4, h);
    }
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < -1) index = -1;
    if (index >= items->Count()) index = items->Count() - 1;
    if (index == itemIndex) return;
    itemIndex = index;
    if (index >= 0) {
        buttons[size_t(index)]->setChecked(true);
    } else {
        buttonGroup->setExclusive(false);
        for (auto& b : buttons) b->setChecked(false);
        buttonGroup->setExclusive(true);
    }
    Click();
}

// ---------------------------------------------------------------- TComboBox

class TComboItems : public TStrings {
public:
    explicit TComboItems(TComboBox* c) : combo(c) {}
    QComboBox* q() const { return combo->Combo(); }
    void Check(int index, int count) const
    {
        if (index < 0 || index >= count) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    }
    int Count() const override { return q()->count(); }
    QString Strings(int index) const override { Check(index, Count()); return q()->itemText(index); }
    void SetStrings(int index, const QString& s) override
    {
        Check(index, Count());
        combo->KeepText([&] { q()->setItemText(index, s); });
    }
    void Insert(int index, const QString& s) override
    {
        Check(index, Count() + 1);
        combo->KeepText([&] { q()->insertItem(index, s); });
    }
    int Add(const QString& s) override
    {
        int index = Count();
        if (combo->Sorted()) {
            index = 0;
            while (index < Count() && CompareTextForSort(q()->itemText(index), s) <= 0) ++index;
        }
        Insert(index, s);
        return index;
    }
    void Delete(int index) override
    {
        Check(index, Count());
        combo->KeepText([&] { q()->removeItem(index); });
    }
    void Clear() override { combo->KeepText([&] { q()->clear(); }); }
    TObject* Objects(int index) const override
    {
        Check(index, Count());
        return reinterpret_cast<TObject*>(q()->itemData(index).value<quintptr>());
    }
    void SetObjects(int index, TObject* object) override
    {
        Check(index, Count());
        q()->setItemData(index, QVariant::fromValue(quintptr(object)));
    }
    TComboBox* combo;
};

TComboBox::TComboBox(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QComboBox)
{
    items = std::make_unique<TComboItems>(this);
    SetStyle(csDropDown);
    QObject::connect(Combo(), &QComboBox::activated, Context(), [this](int) {
        lastText = Caption();
        SafeCall([this] {
            if (OnSelect) OnSelect(this);
            else if (OnChange) OnChange(this);
        });
    });
}

TComboBox::~TComboBox() = default;

QComboBox* TComboBox::Combo() const { return static_cast<QComboBox*>(widget.data()); }
TStrings* TComboBox::Items() { return items.get(); }

void TComboBox::SetStyle(TComboBoxStyle s)
{
    QString keep = Caption();
    style = s;
    QSignalBlocker block(Combo());
    Combo()->setEditable(s != csDropDownList);
    if (s != csDropDownList) {
        Combo()->setInsertPolicy(QComboBox::NoInsert);
        Combo()->setCompleter(nullptr);
        QObject::connect(Combo()->lineEdit(), &QLineEdit::textEdited, Context(), [this] {
            lastText = Caption();
            if (OnChange) SafeCall([this] { OnChange(this); });
        });
    }
    ApplyText(keep);
}

QString TComboBox::Caption() const
{
    if (Combo()->isEditable()) return Combo()->lineEdit()->text();
    int i = Combo()->currentIndex();
    return i >= 0 ? Combo()->itemText(i) : QString();
}

void TComboBox::ApplyText(const QString& t)
{
    QSignalBlocker block(Combo());
    int index = Combo()->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (Combo()->isEditable()) {
        Combo()->setCurrentIndex(index);
        Combo()->lineEdit()->setText(t);
    } else {
        Combo()->setCurrentIndex(index);
    }
    lastText = Caption();
}

void TComboBox::SetCaption(const QString& c)
{
    QString before = Caption();
    ApplyText(c);
    if (Caption() != before && OnChange) OnChange(this);
}

int TComboBox::ItemIndex() const
{
    int i = Combo()->currentIndex();
    if (!Combo()->isEditable()) return i;
    QString t = Caption();
    if (i >= 0 && Combo()->itemText(i) == t) return i;
    return Combo()->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TComboBox::SetItemIndex(int index)
{
    QString before = Caption();
    {
        QSignalBlocker block(Combo());
        if (index < 0 || index >= Combo()->count()) {
            Combo()->setCurrentIndex(-1);
            if (Combo()->isEditable()) Combo()->lineEdit()->clear();
        } else {
            Combo()->setCurrentIndex(index);
            if (Combo()->isEditable()) Combo()->lineEdit()->setText(Combo()->itemText(index));
        }
    }
    lastText = Caption();
    if (Caption() != before && OnChange) OnChange(this);
}

void TComboBox::KeepText(const std::function<void()>& change)
{
    QSignalBlocker block(Combo());
    if (Combo()->isEditable()) {
        QString t = Combo()->lineEdit()->text();
        int cur = Combo()->currentIndex();
        QString curText = cur >= 0 ? Combo()->itemText(cur) : QString();
        change();
        int index = -1;
        if (cur >= 0) index = Combo()->findText(curText, Qt::MatchExactly | Qt::MatchCaseSensitive);
        Combo()->setCurrentIndex(index);
        Combo()->lineEdit()->setText(t);
    } else {
        int cur = Combo()->currentIndex();
        QString curText = cur >= 0 ? Combo()->itemText(cur) : QString();
        change();
        Combo()->setCurrentIndex(cur >= 0 ? Combo()->findText(curText, Qt::MatchExactly | Qt::MatchCaseSensitive) : -1);
    }
    lastText = Caption();
}

void TComboBox::Clear()
{
    items->Clear();
    SetCaption(QString());
}

// ---------------------------------------------------------------- TListBox

class TListBoxItems : public TStrings {
public:
    explicit TListBoxItems(TListBox* b) : box(b) {}
    QListWidget* q() const { return box->List(); }
    void Check(int index, int count) const
    {
        if (index < 0 || index >= count) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    }
    int Count() const override { return q()->count(); }
    QString Strings(int index) const override { Check(index, Count()); return q()->item(index)->text(); }
    void SetStrings(int index, const QString& s) override { Check(index, Count()); q()->item(index)->setText(s); }
    void Insert(int index, const QString& s) override
    {
        Check(index, Count() + 1);
        QSignalBlocker block(q());
        q()->insertItem(index, s);
    }
    int Add(const QString& s) override
    {
        int index = Count();
        if (box->Sorted()) {
            index = 0;
            while (index < Count() && CompareTextForSort(q()->item(index)->text(), s) <= 0) ++index;
        }
        Insert(index, s);
        return index;
    }
    void Delete(int index) override
    {
        Check(index, Count());
        QSignalBlocker block(q());
        delete q()->takeItem(index);
    }
    void Clear() override
    {
        QSignalBlocker block(q());
        q()->clear();
    }
    TObject* Objects(int index) const override
    {
        Check(index, Count());
        return reinterpret_cast<TObject*>(q()->item(index)->data(Qt::UserRole).value<quintptr>());
    }
    void SetObjects(int index, TObject* object) override
    {
        Check(index, Count());
        q()->item(index)->setData(Qt::UserRole, QVariant::fromValue(quintptr(object)));
    }
    TListBox* box;
};

class TListBoxDelegate : public QStyledItemDelegate {
public:
    TListBoxDelegate(TListBox* b, QObject* parent) : QStyledItemDelegate(parent), box(b) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (box->Style() == lbStandard || !box->OnDrawItem) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state = 0;
        if (option.state & QStyle::State_Selected) state |= odSelected;
        if (option.state & QStyle::State_HasFocus) state |= odFocused;
        box->DrawItem(painter, index.row(), option.rect, state);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        if (box->Style() != lbStandard) s.setHeight(box->ItemHeight());
        return s;
    }
    TListBox* box;
};

TListBox::TListBox(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QListWidget)
{
    items = std::make_unique<TListBoxItems>(this);
    List()->setItemDelegate(new TListBoxDelegate(this, List()));
    List()->setUniformItemSizes(true);
    clickOnRelease = true;
    WatchInput(List()->viewport());
}

TListBox::~TListBox() = default;

QListWidget* TListBox::List() const { return static_cast<QListWidget*>(widget.data()); }
TStrings* TListBox::Items() { return items.get(); }

void TListBox::SetSorted(bool v)
{
    sorted = v;
    if (!v) return;
    QStringList texts;
    std::vector<TObject*> objects;
    std::vector<int> order(size_t(items->Count()));
    for (int i = 0; i < items->Count(); ++i) order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return CompareTextForSort(items->Strings(a), items->Strings(b)) < 0;
    });
    for (int i : order) { texts << items->Strings(i); objects.push_back(items->Objects(i)); }
    items->Clear();
    for (int i = 0; i < texts.size(); ++i) {
        items->Insert(i, texts[i]);
        items->SetObjects(i, objects[size_t(i)]);
    }
}

void TListBox::AddItems(const QStringList& lines)
{
    if (sorted) {
        for (const QString& s : lines) items->Add(s);
        return;
    }
    QSignalBlocker block(List());
    List()->addItems(lines);
}

int TListBox::ItemIndex() const { return List()->currentRow(); }

void TListBox::SetItemIndex(int index)
{
    QSignalBlocker block(List());
    if (index < 0 || index >= List()->count()) {
        List()->setCurrentRow(-1);
        if (!multiSelect) List()->clearSelection();
    } else if (multiSelect) {
        List()->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    } else {
        List()->setCurrentRow(index);
    }
}

void TListBox::SetMultiSelect(bool v)
{
    multiSelect = v;
    List()->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int index) const
{
    if (index < 0 || index >= List()->count()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return List()->item(index)->isSelected();
}

void TListBox::SetSelected(int index, bool v)
{
    if (index < 0 || index >= List()->count()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    QSignalBlocker block(List());
    if (!multiSelect && v) List()->setCurrentRow(index);
    else List()->item(index)->setSelected(v);
}

int TListBox::SelCount() const
{
    if (!multiSelect) return -1 == ItemIndex() ? 0 : 1;
    return int(List()->selectedItems().size());
}

void TListBox::DeleteSelected()
{
    for (int i = List()->count() - 1; i >= 0; --i)
        if (List()->item(i)->isSelected()) items->Delete(i);
}

void TListBox::ClearSelection() { List()->clearSelection(); }

int TListBox::ItemAtPos(int x, int y, bool existing) const
{
    QModelIndex index = List()->indexAt(QPoint(x, y));
    if (index.isValid()) return index.row();
    return existing ? -1 : List()->count();
}

void TListBox::SetItemHeight(int h)
{
    itemHeight = h;
    List()->doItemsLayout();
}

int TListBox::TopIndex() const
{
    QModelIndex index = List()->indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : 0;
}

void TListBox::SetStyle(TListBoxStyle s)
{
    style = s;
    List()->doItemsLayout();
}

void TListBox::DrawItem(QPainter* painter, int index, const QRect& rect, TOwnerDrawState state)
{
    canvas.Font->SetQtFont(Font()->QtFont());
    canvas.Brush->Color = (state & odSelected) ? clHighlight : clWindow;
    canvas.Font->SetColor((state & odSelected) ? clHighlightText : clWindowText);
    canvas.BeginPaint(painter);
    SafeCall([&] { OnDrawItem(this, index, rect, state); });
    canvas.EndPaint();
    // As the platform does after the owner's drawing: a dotted focus
    // rectangle around the current line while the list has the focus.
    if (state & odFocused) {
        painter->save();
        QPen pen(QColor(0, 0, 0));
        pen.setWidth(0);
        pen.setDashPattern({1, 1});
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

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

// ---------------------------------------------------------------- TRichEdit

class TRichEditLines : public TTextLines {
public:
    explicit TRichEditLines(TRichEdit* r) : edit(r) {}
    QString PlainText() const override { return edit->TextEdit()->toPlainText(); }
    void SetPlain(const QString& lfText) override { edit->TextEdit()->setPlainText(lfText); }
    TRichEdit* edit;
};

TRichEdit::TRichEdit(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QTextEdit)
{
    lines = std::make_unique<TRichEditLines>(this);
    TextEdit()->setAcceptRichText(false);
}

TRichEdit::~TRichEdit() = default;
QTextEdit* TRichEdit::TextEdit() const { return static_cast<QTextEdit*>(widget.data()); }
QString TRichEdit::Caption() const { return lines->Text(); }
void TRichEdit::SetCaption(const QString& c) { lines->SetText(c); }
TStrings* TRichEdit::Lines() { return lines.get(); }
void TRichEdit::SelectAll() { TextEdit()->selectAll(); }

QString TRichEdit::SelText() const
{
    QString s = TextEdit()->textCursor().selectedText();
    s.replace(QChar(0x2029), QStringLiteral("\r\n"));
    return s;
}

void TRichEdit::CopyToClipboard() { Clipboard()->SetAsText(SelText()); }
bool TRichEdit::ReadOnly() const { return TextEdit()->isReadOnly(); }
void TRichEdit::SetReadOnly(bool v) { TextEdit()->setReadOnly(v); }

// ---------------------------------------------------------------- image list, tool bar

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
    if (toolBar && toolBar->Images()) SetIcon(toolBar->Images()->Image(i));
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

// ---------------------------------------------------------------- TWebBrowser

TWebBrowser::TWebBrowser(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QLabel)
{
    auto* l = static_cast<QLabel*>(widget.data());
    l->setTextFormat(Qt::RichText);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    l->setFrameShape(QFrame::StyledPanel);
    QObject::connect(l, &QLabel::linkActivated, Context(), [](const QString& link) {
        SafeCall([&] { Dialogs().OpenUrl(link); });
    });
}

void TWebBrowser::Navigate(const QString& address)
{
    location = address;
    history << address;
    auto* l = static_cast<QLabel*>(widget.data());
    l->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), address.toHtmlEscaped()));
    Dialogs().OpenUrl(address);
}

// ---------------------------------------------------------------- list view

void TListColumn::SetCaption(const QString& c) { caption = c; if (view) view->ColumnsChanged(); }
void TListColumn::SetWidth(int w) { width = w; if (view) view->ColumnsChanged(); }
void TListColumn::SetAlignment(TAlignment a) { alignment = a; if (view) view->ColumnsChanged(); }

TListColumn* TListColumns::Add()
{
    auto c = std::make_unique<TListColumn>();
    c->view = view;
    c->index = Count();
    columns.push_back(std::move(c));
    view->ColumnsChanged();
    return columns.back().get();
}

void TListColumns::Clear()
{
    columns.clear();
    view->ColumnsChanged();
}

class TSubItems : public TStringList {
public:
    explicit TSubItems(TListItem* i) : item(i) {}
    void SetStrings(int index, const QString& s) override { TStringList::SetStrings(index, s); Sync(); }
    void Insert(int index, const QString& s) override { TStringList::Insert(index, s); Sync(); }
    void Delete(int index) override { TStringList::Delete(index); Sync(); }
    void Clear() override { TStringList::Clear(); Sync(); }
    void Sync()
    {
        QTreeWidgetItem* q = item->item;
        int columns = std::max(q->columnCount(), Count() + 1);
        for (int c = 1; c < columns; ++c) q->setText(c, c - 1 < Count() ? Strings(c - 1) : QString());
        item->view->ItemChanged(item, ctText);
    }
    TListItem* item;
};

TListItem::TListItem(TListView* v) : view(v), item(new QTreeWidgetItem), subItems(std::make_unique<TSubItems>(this))
{
    item->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(this)));
}

TListItem::~TListItem()
{
    QSignalBlocker block(view->Tree());
    delete item;
}

QString TListItem::Caption() const { return item->text(0); }

void TListItem::SetCaption(const QString& c)
{
    item->setText(0, c);
    view->ItemChanged(this, ctText);
}

TStrings* TListItem::SubItems() { return subItems.get(); }
bool TListItem::Selected() const { return item->isSelected(); }
void TListItem::SetSelected(bool v) { item->setSelected(v); }
bool TListItem::Focused() const { return view->Tree()->currentItem() == item; }
int TListItem::Index() const { return view->Items()->IndexOf(this); }
void TListItem::Delete() { view->Items()->Delete(Index()); }

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index)
{
    if (index < 0 || index > Count()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    std::unique_ptr<TListItem> item(new TListItem(view));
    TListItem* raw = item.get();
    {
        QSignalBlocker block(view->Tree());
        view->Tree()->insertTopLevelItem(index, raw->item);
    }
    items.insert(items.begin() + index, std::move(item));
    view->ItemChanged(raw, ctState);
    return raw;
}

int TListItems::IndexOf(const TListItem* item) const
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == item) return int(i);
    return -1;
}

void TListItems::Delete(int index)
{
    if (index < 0 || index >= Count()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    TListItem* raw = items[size_t(index)].get();
    auto& last = view->lastSelection;
    last.erase(std::remove(last.begin(), last.end(), raw), last.end());
    items.erase(items.begin() + index);
}

void TListItems::Clear()
{
    view->lastSelection.clear();
    QSignalBlocker block(view->Tree());
    view->Tree()->clear();   // deletes the Qt items
    for (auto& i : items) i->item = nullptr;
    items.clear();
}

class TListViewDelegate : public QStyledItemDelegate {
public:
    TListViewDelegate(TListView* v, QObject* parent) : QStyledItemDelegate(parent), view(v) {}
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        int column = index.column();
        if (column < view->Columns()->Count()) {
            TAlignment a = view->Columns()->Items(column)->Alignment();
            option->displayAlignment = Qt::AlignVCenter | (a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
        }
        TListItem* item = view->Items()->Count() > index.row() ? view->Items()->Item(index.row()) : nullptr;
        if (!item || !view->OnCustomDrawItem) return;
        auto [background, text] = view->RowColors(item);
        if (background.isValid()) option->backgroundBrush = QBrush(background);
        if (text.isValid()) option->palette.setColor(QPalette::Text, text);
    }
    TListView* view;
};

TListView::TListView(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QTreeWidget)
{
    QTreeWidget* t = Tree();
    t->setRootIsDecorated(false);
    t->setUniformRowHeights(true);
    t->setItemsExpandable(false);
    t->setAllColumnsShowFocus(true);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->header()->setSectionsClickable(true);
    t->header()->setStretchLastSection(false);
    t->setColumnCount(0);
    t->setItemDelegate(new TListViewDelegate(this, t));
    WatchInput(t->viewport());
    QObject::connect(t, &QTreeWidget::itemSelectionChanged, Context(), [this] { SelectionChanged(); });
    QObject::connect(t->header(), &QHeaderView::sectionClicked, Context(), [this](int section) {
        if (OnColumnClick && section >= 0 && section < columns.Count())
            SafeCall([&] { OnColumnClick(this, columns.Items(section)); });
    });
}

TListView::~TListView() { items.Clear(); }

QTreeWidget* TListView::Tree() const { return static_cast<QTreeWidget*>(widget.data()); }

void TListView::SetMultiSelect(bool v)
{
    multiSelect = v;
    Tree()->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TListView::SetShowColumnHeaders(bool v) { Tree()->setHeaderHidden(!v); }

void TListView::ColumnsChanged()
{
    QTreeWidget* t = Tree();
    t->setColumnCount(std::max(1, columns.Count()));
    QStringList labels;
    for (int i = 0; i < columns.Count(); ++i) labels << columns.Items(i)->Caption();
    t->setHeaderLabels(labels);
    for (int i = 0; i < columns.Count(); ++i) {
        TListColumn* c = columns.Items(i);
        t->setColumnWidth(i, c->Width());
        t->headerItem()->setTextAlignment(i, c->Alignment() == taCenter ? Qt::AlignHCenter : c->Alignment() == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
    }
}

void TListView::ItemChanged(TListItem* item, TItemChange change)
{
    if (OnChange) OnChange(this, item, change);
}

TListItem* TListView::ItemOf(QTreeWidgetItem* item) const
{
    if (!item) return nullptr;
    return reinterpret_cast<TListItem*>(item->data(0, Qt::UserRole).value<quintptr>());
}

void TListView::SelectionChanged()
{
    std::vector<TListItem*> now = SelectedItems();
    std::vector<TListItem*> before = lastSelection;
    lastSelection = now;
    if (!OnSelectItem) return;
    for (TListItem* i : before)
        if (std::find(now.begin(), now.end(), i) == now.end())
            SafeCall([&] { OnSelectItem(this, i, false); });
    for (TListItem* i : now)
        if (std::find(before.begin(), before.end(), i) == before.end())
            SafeCall([&] { OnSelectItem(this, i, true); });
}

TListItem* TListView::Selected() const
{
    for (const auto& i : items.items)
        if (i->Selected()) return i.get();
    return nullptr;
}

int TListView::SelCount() const { return int(SelectedItems().size()); }

std::vector<TListItem*> TListView::SelectedItems() const
{
    std::vector<TListItem*> out;
    for (const auto& i : items.items)
        if (i->item && i->Selected()) out.push_back(i.get());
    return out;
}

TListItem* TListView::ItemFocused() const { return ItemOf(Tree()->currentItem()); }

TListItem* TListView::GetItemAt(int x, int y) const { return ItemOf(Tree()->itemAt(QPoint(x, y))); }

void TListView::ClearSelection() { Tree()->clearSelection(); }

std::pair<TColor, TColor> TListView::RowColors(TListItem* item)
{
    canvas.Brush->Color = clDefault;
    canvas.Font->SetColor(clDefault);
    if (OnCustomDrawItem) {
        TCustomDrawState state = item->Selected() ? cdsSelected : 0;
        bool defaultDraw = true;
        SafeCall([&] { OnCustomDrawItem(this, item, state, defaultDraw); });
    }
    return {canvas.Brush->Color, canvas.Font->Color()};
}

// ---------------------------------------------------------------- clipboard

QString TClipboard::AsText() const { return QGuiApplication::clipboard()->text(); }
void TClipboard::SetAsText(const QString& text) { QGuiApplication::clipboard()->setText(text); }
void TClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}

// ---------------------------------------------------------------- file dialogs

bool TOpenDialog::Execute()
{
    TFileDialogRequest request;
    request.Save = save;
    request.Title = Title;
    request.Filter = Filter;
    request.DefaultExt = DefaultExt;
    request.FileName = FileName;
    request.InitialDir = InitialDir;
    QString path = Dialogs().FileDialog(request);
    if (path.isEmpty()) return false;
    QFileInfo info(path);
    if (!DefaultExt.isEmpty() && info.suffix().isEmpty()) path += QStringLiteral(".") + DefaultExt;
    FileName = QFileInfo(path).absoluteFilePath();
    return true;
}

QObject* TControl::Context() const { return sink; }
