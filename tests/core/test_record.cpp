#include "core/Record.h"
#include "support/QtPrinters.h"
#include <QStringList>
#include <gtest/gtest.h>
#include <algorithm>

// Readable failure output for texts.

namespace {

class SortColumnGuard {
public:
    explicit SortColumnGuard(int k) : saved(SortColumn) { SortColumn = k; }
    ~SortColumnGuard() { SortColumn = saved; }
private:
    int saved;
};

TSubstanceRecord WithField(int index, const QString& value)
{
    TSubstanceRecord r;
    r.SetByIndex(index, value);
    return r;
}

} // namespace

TEST(Record, ColumnNamesAreTheFieldNamesInIndexOrder)
{
    const QStringList expected = {"name", "A", "B", "Bprime", "C", "E", "F", "G", "HPLC", "BefVis",
        "BefUVS", "BefUVL", "Archers", "AftVis", "AftUV", "KResult", "CResult", "KCResult",
        "PDResult", "Cortex", "Medulla", "M", "F1", "F2", "F3", "Notes", "Related", "Synonyms",
        "Class", "Path", "GroupName"};
    ASSERT_EQ(expected.size(), FieldCount);
    for (int i = 0; i < FieldCount; ++i)
        EXPECT_EQ(ColumnNames[i], expected[i]) << i;
    EXPECT_EQ(SortColumn, 0);
    EXPECT_TRUE(ColorMatrix[0].ColorName.isEmpty());
    EXPECT_EQ(ColorMatrix[19].Similarity[19], "0");
}

TEST(Record, SetByIndexReachesEveryFieldAndNothingElse)
{
    TSubstanceRecord r;
    for (int i = 0; i < FieldCount; ++i)
        r.SetByIndex(i, QString("v%1").arg(i));
    EXPECT_EQ(r.name, "v0");
    EXPECT_EQ(r.Bprime, "v3");
    EXPECT_EQ(r.Medulla, "v20");
    EXPECT_EQ(r.Synonyms, "v27");
    EXPECT_EQ(r.Class, "v28");
    EXPECT_EQ(r.GroupName, "v30");
    EXPECT_TRUE(r.SpareSlot.isEmpty());
    TSubstanceRecord before = r;
    r.SetByIndex(-1, "x");
    r.SetByIndex(31, "x");
    for (int i = 0; i < FieldCount; ++i)
        EXPECT_EQ(r.Field(i), before.Field(i));
    EXPECT_TRUE(r.SpareSlot.isEmpty());
}

TEST(Record, ClearKeepsSpareSlotAndCopiesCarryIt)
{
    TSubstanceRecord r;
    r.name = "Atranorin";
    r.GroupName = "Depsides";
    r.SpareSlot = "kept";
    r.MatchScore = -3.5f;
    TSubstanceRecord copy = r;
    EXPECT_EQ(copy.SpareSlot, "kept");
    r.Clear();
    for (int i = 0; i < FieldCount; ++i)
        EXPECT_TRUE(r.Field(i).isEmpty()) << i;
    EXPECT_EQ(r.MatchScore, 0.0f);
    EXPECT_EQ(r.SpareSlot, "kept");
}

TEST(Record, GetByNameReadsOnlyTheFirst21Fields)
{
    TSubstanceRecord r;
    for (int i = 0; i < FieldCount; ++i)
        r.SetByIndex(i, QString::number(i));
    EXPECT_EQ(r.GetByName("Medulla"), "20");
    EXPECT_EQ(r.GetByName("name"), "0");
    for (const char* n : {"M", "Class", "Name", "medulla", ""})
        EXPECT_TRUE(r.GetByName(n).isEmpty()) << n;
    EXPECT_EQ(r.GetByIndex(3), "3");
    EXPECT_TRUE(r.GetByIndex(25).isEmpty());
}

TEST(Record, SolventValue)
{
    struct Case { int index; QString text; int expected; } cases[] = {
        {3, "45", 45}, {3, "", 0}, {3, "abc", 0}, {1, " 12", 12}, {8, "-7", -7}, {2, "4.5", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithField(c.index, c.text).SolventValue(c.index), c.expected) << c.text.toStdString();
    TSubstanceRecord r;
    for (int i = 0; i < FieldCount; ++i)
        r.SetByIndex(i, "5");
    EXPECT_EQ(r.SolventValue(0), 0);
    EXPECT_EQ(r.SolventValue(9), 0);
}

TEST(Record, NameKeySkipsLocantsAndIgnoresCase)
{
    EXPECT_EQ(NameKey("6-Methylcristazarin"), NameKey("Methylcristazarin"));
    EXPECT_FALSE(NameLess("6-Methylcristazarin", "Methylcristazarin"));
    EXPECT_FALSE(NameLess("Methylcristazarin", "6-Methylcristazarin"));
    EXPECT_EQ(NameKey("usnic acid"), NameKey("USNIC ACID"));
    EXPECT_TRUE(NameLess("β-Alectoronic acid", "Barbatic acid"));
    EXPECT_TRUE(NameLess("Usnic", "Usnic acid"));
    EXPECT_EQ(NameKey("2'-O-methylperlatolic acid"), "METHYLPERLATOLIC ACID");
}

TEST(Record, NamesWithoutTwoLettersOrderByTheirWholeText)
{
    // Names that give the key no letter pair must still sort consistently.
    std::vector<QString> names = {"B12", "", "Spot 3", "7", "A1", "Atranorin", "12", "-", "a1"};
    for (const QString& a : names) {
        EXPECT_FALSE(NameLess(a, a)) << a.toStdString();
        for (const QString& b : names) {
            if (NameLess(a, b)) {
                EXPECT_FALSE(NameLess(b, a)) << a.toStdString() << " " << b.toStdString();
            }
            for (const QString& c : names) {
                if (NameLess(a, b) && NameLess(b, c)) {
                    EXPECT_TRUE(NameLess(a, c));
                }
            }
        }
    }
    EXPECT_EQ(NameKey("a1"), "A1");
    EXPECT_EQ(NameKey("A1"), NameKey("a1"));
    EXPECT_TRUE(NameLess("", "12"));
    std::sort(names.begin(), names.end(), NameLess);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), NameLess));
}

TEST(Record, OrderByNameAndByMatchScore)
{
    TSubstanceRecord a = WithField(0, "Zeorin"), b = WithField(0, "6-Atranorin");
    {
        SortColumnGuard g(0);
        EXPECT_TRUE(b < a);
        EXPECT_FALSE(a < b);
    }
    a.MatchScore = -7;
    b.MatchScore = -3;
    {
        SortColumnGuard g(100);
        EXPECT_TRUE(a < b);
        EXPECT_FALSE(b < a);
    }
}

TEST(Record, WholeNumberColumnsOrderByValueWithEmptyFirst)
{
    for (int k : {1, 3, 8, 21, 24}) {
        SortColumnGuard g(k);
        std::vector<TSubstanceRecord> rows = {WithField(k, "10"), WithField(k, "9"), WithField(k, ""),
                                              WithField(k, "0"), WithField(k, "x"), WithField(k, "100")};
        std::sort(rows.begin(), rows.end());
        QStringList got;
        for (const auto& r : rows)
            got << r.Field(k);
        EXPECT_EQ(got, QStringList({"", "0", "9", "10", "100", "x"})) << k;
    }
}

TEST(Record, TextColumnsOrderAsText)
{
    SortColumnGuard g(11);
    EXPECT_TRUE(WithField(11, "") < WithField(11, "Blue"));
    EXPECT_TRUE(WithField(11, "Blue") < WithField(11, "Yellow"));
    EXPECT_TRUE(WithField(11, "Yellow") < WithField(11, "blue"));
    EXPECT_FALSE(WithField(11, "Blue") < WithField(11, "Blue"));
}
