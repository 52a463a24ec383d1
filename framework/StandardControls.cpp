#include "StandardControls.h"
#include "Clipboard.h"
#include "Forms.h"
#include "Text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTextEdit>
#include <algorithm>

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
        CheckListIndex(index, int(l.size()));
        return l[index];
    }
    void SetStrings(int index, const QString& s) override
    {
        QStringList l = Get();
        CheckListIndex(index, int(l.size()));
        l[index] = s;
        Put(l);
    }
    void Insert(int index, const QString& s) override
    {
        QStringList l = Get();
        CheckListIndex(index, int(l.size()) + 1);
        l.insert(index, s);
        Put(l);
    }
    void Delete(int index) override
    {
        QStringList l = Get();
        CheckListIndex(index, int(l.size()));
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
    int Count() const override { return q()->count(); }
    QString Strings(int index) const override { CheckListIndex(index, Count()); return q()->itemText(index); }
    void SetStrings(int index, const QString& s) override
    {
        CheckListIndex(index, Count());
        combo->KeepText([&] { q()->setItemText(index, s); });
    }
    void Insert(int index, const QString& s) override
    {
        CheckListIndex(index, Count() + 1);
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
        CheckListIndex(index, Count());
        combo->KeepText([&] { q()->removeItem(index); });
    }
    void Clear() override { combo->KeepText([&] { q()->clear(); }); }
    TObject* Objects(int index) const override
    {
        CheckListIndex(index, Count());
        return reinterpret_cast<TObject*>(q()->itemData(index).value<quintptr>());
    }
    void SetObjects(int index, TObject* object) override
    {
        CheckListIndex(index, Count());
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
