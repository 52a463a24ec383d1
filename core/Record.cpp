#include "core/Record.h"
#include "framework/Text.h"

const std::array<QString, FieldCount> ColumnNames = {
    QStringLiteral("name"),     QStringLiteral("A"),        QStringLiteral("B"),
    QStringLiteral("Bprime"),   QStringLiteral("C"),        QStringLiteral("E"),
    QStringLiteral("F"),        QStringLiteral("G"),        QStringLiteral("HPLC"),
    QStringLiteral("BefVis"),   QStringLiteral("BefUVS"),   QStringLiteral("BefUVL"),
    QStringLiteral("Archers"),  QStringLiteral("AftVis"),   QStringLiteral("AftUV"),
    QStringLiteral("KResult"),  QStringLiteral("CResult"),  QStringLiteral("KCResult"),
    QStringLiteral("PDResult"), QStringLiteral("Cortex"),   QStringLiteral("Medulla"),
    QStringLiteral("M"),        QStringLiteral("F1"),       QStringLiteral("F2"),
    QStringLiteral("F3"),       QStringLiteral("Notes"),    QStringLiteral("Related"),
    QStringLiteral("Synonyms"), QStringLiteral("Class"),    QStringLiteral("Path"),
    QStringLiteral("GroupName"),
};

std::array<TColorRow, 20> ColorMatrix;
std::vector<TSubstanceRecord> Spots;
int SortColumn = 0;

namespace {

QString* FieldPointer(TSubstanceRecord& r, int index)
{
    switch (index) {
    case 0: return &r.name;
    case 1: return &r.A;
    case 2: return &r.B;
    case 3: return &r.Bprime;
    case 4: return &r.C;
    case 5: return &r.E;
    case 6: return &r.F;
    case 7: return &r.G;
    case 8: return &r.HPLC;
    case 9: return &r.BefVis;
    case 10: return &r.BefUVS;
    case 11: return &r.BefUVL;
    case 12: return &r.Archers;
    case 13: return &r.AftVis;
    case 14: return &r.AftUV;
    case 15: return &r.KResult;
    case 16: return &r.CResult;
    case 17: return &r.KCResult;
    case 18: return &r.PDResult;
    case 19: return &r.Cortex;
    case 20: return &r.Medulla;
    case 21: return &r.M;
    case 22: return &r.F1;
    case 23: return &r.F2;
    case 24: return &r.F3;
    case 25: return &r.Notes;
    case 26: return &r.Related;
    case 27: return &r.Synonyms;
    case 28: return &r.Class;
    case 29: return &r.Path;
    case 30: return &r.GroupName;
    default: return nullptr;
    }
}

// Columns that hold whole numbers: the solvent values and HPLC index, and
// the mass-spectrum values.
bool IsWholeNumberColumn(int k)
{
    return (k >= 1 && k <= 8) || (k >= 21 && k <= 24);
}

// Orders whole-number texts by value: empty first, then numbers, then any
// text that is no number (by text), so the order stays strict and weak.
bool WholeNumberLess(const QString& a, const QString& b)
{
    auto rank = [](const QString& s, long long& v) {
        const QString t = Trim(s);
        if (t.isEmpty())
            return 0;
        bool ok = false;
        v = t.toLongLong(&ok);
        return ok ? 1 : 2;
    };
    long long va = 0, vb = 0;
    const int ra = rank(a, va), rb = rank(b, vb);
    if (ra != rb)
        return ra < rb;
    if (ra == 1)
        return va < vb;
    if (ra == 2)
        return a < b;
    return false;
}

} // namespace

void TSubstanceRecord::Clear()
{
    for (int i = 0; i < FieldCount; ++i)
        FieldPointer(*this, i)->clear();
    MatchScore = 0.0f;
}

void TSubstanceRecord::SetByIndex(int index, const QString& value)
{
    if (QString* f = FieldPointer(*this, index))
        *f = value;
}

QString TSubstanceRecord::GetByName(const QString& fieldName) const
{
    for (int i = 0; i <= 20; ++i)
        if (ColumnNames[i] == fieldName)
            return Field(i);
    return {};
}

QString TSubstanceRecord::GetByIndex(int index) const
{
    if (index < 0 || index >= FieldCount)
        return {};
    return GetByName(ColumnNames[index]);
}

int TSubstanceRecord::SolventValue(int i) const
{
    if (i < 1 || i > 8)
        return 0;
    return StrToIntDef(Field(i), 0);
}

QString& TSubstanceRecord::Field(int index)
{
    if (QString* f = FieldPointer(*this, index))
        return *f;
    // Out-of-range access gets a scratch text so callers never crash.
    static QString scratch;
    scratch.clear();
    return scratch;
}

const QString& TSubstanceRecord::Field(int index) const
{
    return const_cast<TSubstanceRecord*>(this)->Field(index);
}

QString NameKey(const QString& name)
{
    const QString upper = UpperCase(name);
    for (qsizetype i = 0; i + 1 < upper.size(); ++i) {
        if (IsAsciiLetter(upper[i]) && IsAsciiLetter(upper[i + 1]))
            return upper.mid(i, 1000);
    }
    // No two adjacent letters: the whole upper-cased text is the key.
    return upper;
}

bool NameLess(const QString& a, const QString& b)
{
    return NameKey(a) < NameKey(b);
}

bool operator<(const TSubstanceRecord& x, const TSubstanceRecord& y)
{
    const int k = SortColumn;
    if (k == 0)
        return NameLess(x.name, y.name);
    if (k == 100)
        return x.MatchScore < y.MatchScore;
    if (k < 0 || k >= FieldCount)
        return false;
    if (IsWholeNumberColumn(k))
        return WholeNumberLess(x.Field(k), y.Field(k));
    return x.Field(k) < y.Field(k);
}
