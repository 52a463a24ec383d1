#include "Classes.h"
#include "Forms.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* AOwner) : owner(AOwner)
{
    if (owner) owner->components.push_back(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (owner) {
        auto& list = owner->components;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

TComponent* TComponent::Components(int index) const
{
    CheckListIndex(index, ComponentCount());
    return components[size_t(index)];
}

TComponent* TComponent::FindComponent(const QString& name) const
{
    for (TComponent* c : components)
        if (c->Name == name) return c;
    return nullptr;
}

void TComponent::DestroyComponents()
{
    while (!components.empty()) {
        TComponent* c = components.back();
        delete c;   // removes itself from the list
    }
}

// ---------------------------------------------------------------- dispatcher

namespace {
int handlerDepth = 0;
struct THandlerDepthGuard {
    THandlerDepthGuard() { ++handlerDepth; }
    ~THandlerDepthGuard() { --handlerDepth; }
};
} // namespace

int RunningHandlers() { return handlerDepth; }

void SafeCall(const std::function<void()>& handler)
{
    THandlerDepthGuard running;
    try {
        handler();
    } catch (const EHalt&) {
        if (Application) Application->Terminate();
    } catch (const std::exception& e) {
        if (Application) Application->ShowException(e);
    } catch (...) {
        if (Application) Application->ShowException(QStringLiteral("Unknown exception"));
    }
}

// ---------------------------------------------------------------- strings

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    QString current;
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines << current;
            current.clear();
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty()) lines << current;
    return lines;
}

int CompareTextForSort(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

int TStrings::Add(const QString& s)
{
    Insert(Count(), s);
    return Count() - 1;
}

int TStrings::AddObject(const QString& s, TObject* object)
{
    int i = Add(s);
    SetObjects(i, object);
    return i;
}

int TStrings::IndexOf(const QString& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (Strings(i) == s) return i;
    return -1;
}

QString TStrings::Text() const
{
    QString t;
    for (int i = 0; i < Count(); ++i) t += Strings(i) + QStringLiteral("\r\n");
    return t;
}

void TStrings::SetText(const QString& text)
{
    Assign(SplitLines(text));
}

QStringList TStrings::ToStringList() const
{
    QStringList l;
    for (int i = 0; i < Count(); ++i) l << Strings(i);
    return l;
}

void TStrings::Assign(const QStringList& lines)
{
    Clear();
    AddStrings(lines);
}

void TStrings::AddStrings(const QStringList& lines)
{
    for (const QString& s : lines) Add(s);
}

void CheckListIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

QString TStringList::Strings(int index) const
{
    CheckListIndex(index, Count());
    return items[size_t(index)].text;
}

void TStringList::SetStrings(int index, const QString& s)
{
    CheckListIndex(index, Count());
    items[size_t(index)].text = s;
}

void TStringList::Insert(int index, const QString& s)
{
    CheckListIndex(index, Count() + 1);
    items.insert(items.begin() + index, Item{s, nullptr});
}

void TStringList::Delete(int index)
{
    CheckListIndex(index, Count());
    items.erase(items.begin() + index);
}

TObject* TStringList::Objects(int index) const
{
    CheckListIndex(index, Count());
    return items[size_t(index)].object;
}

void TStringList::SetObjects(int index, TObject* object)
{
    CheckListIndex(index, Count());
    items[size_t(index)].object = object;
}

int TStringList::Add(const QString& s)
{
    if (!sorted) return TStrings::Add(s);
    auto it = std::upper_bound(items.begin(), items.end(), s,
        [](const QString& v, const Item& item) { return CompareTextForSort(v, item.text) < 0; });
    int index = int(it - items.begin());
    items.insert(it, Item{s, nullptr});
    return index;
}

void TStringList::SetSorted(bool value)
{
    sorted = value;
    if (sorted)
        std::stable_sort(items.begin(), items.end(),
            [](const Item& a, const Item& b) { return CompareTextForSort(a.text, b.text) < 0; });
}

// ---------------------------------------------------------------- fonts

namespace {
// The windows name the Windows fonts they were laid out for; Linux has none
// of them, and its default sans font is wider, so captions would be cut.
// Metric-compatible fonts stand in where installed.
void InstallFontSubstitutes()
{
    static bool done = false;
    if (done) return;
    done = true;
    const QStringList narrowSans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")};
    for (const char* family : {"MS Sans Serif", "Tahoma", "Segoe UI"})
        QFont::insertSubstitutions(QString::fromLatin1(family), narrowSans);
    // Lucida Console and Courier New both advance 0.6 em per character, as
    // Liberation Mono does: the monospaced lists keep their columns.
    const QStringList mono = {QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"),
                              QStringLiteral("DejaVu Sans Mono")};
    for (const char* family : {"Lucida Console", "Courier New"})
        QFont::insertSubstitutions(QString::fromLatin1(family), mono);
}
} // namespace

void TFont::SetName(const QString& name)
{
    InstallFontSubstitutes();
    font.setFamily(name);
    Changed();
}

int TFont::Size() const
{
    if (font.pointSize() > 0) return font.pointSize();
    return int(font.pixelSize() * 72 / 96);
}

void TFont::SetSize(int points) { if (points > 0) font.setPointSize(points); Changed(); }

int TFont::Height() const
{
    if (font.pixelSize() > 0) return -font.pixelSize();
    return -int(font.pointSizeF() * 96 / 72 + 0.5);
}

void TFont::SetHeight(int height)
{
    int px = height < 0 ? -height : height;
    if (px > 0) font.setPixelSize(px);
    Changed();
}

void TFont::SetBold(bool bold) { font.setBold(bold); Changed(); }
void TFont::SetItalic(bool italic) { font.setItalic(italic); Changed(); }
void TFont::SetColor(const TColor& c) { color = c; Changed(); }
void TFont::SetQtFont(const QFont& f) { font = f; Changed(); }

// ---------------------------------------------------------------- canvas

template <class F> void TCanvas::Draw(F f)
{
    if (painter) {
        f(*painter);
    } else if (target && !target->isNull()) {
        QPainter p(target);
        f(p);
    }
}

void TCanvas::FillRect(const QRect& rect)
{
    Draw([&](QPainter& p) { p.fillRect(rect, brush.Color.isValid() ? brush.Color : clWindow); });
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    Draw([&](QPainter& p) {
        p.save();
        p.setFont(font.QtFont());
        p.setPen(font.Color().isValid() ? font.Color() : clWindowText);
        QFontMetrics m(font.QtFont());
        p.drawText(QPoint(x, y + m.ascent()), text);
        p.restore();
    });
}

int TCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(font.QtFont()).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text) const
{
    return QFontMetrics(font.QtFont()).height();
}
