// The shipped data/Default.scfg: it is made by the writer from the table
// below (run this program with --gtest_also_run_disabled_tests
// --gtest_filter='*WriteShipped*' to regenerate it) and must read back as it is.
#include "config/SearchConfigFile.h"
#include "support/FileBytes.h"
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QString ShippedPath = QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg");

enum Color {
    NoResult, White, Brown, PBrown, Purple, Lilac, Yellow, PYellow, Orange,
    Pink, Red, PRed, DRed, BBlue, DBlue, Green, Gray, Black
};

struct Pair {
    Color a, b;
    int similarity;
};

// Shades of one hue 40-85, neighbouring hues 10-75, pale shades and white
// 10-40; every pair not listed is unrelated (0). data/Default.scfg.md quotes
// these figures.
const Pair Pairs[] = {
    {NoResult, White, 20}, {NoResult, PYellow, 10}, {NoResult, Gray, 10},
    {White, PYellow, 40}, {White, Gray, 30}, {White, PBrown, 20}, {White, Lilac, 20},
    {White, Pink, 20}, {White, PRed, 10}, {White, BBlue, 10}, {White, Yellow, 10},
    {Brown, PBrown, 80}, {Brown, DRed, 40}, {Brown, Orange, 40}, {Brown, Black, 40},
    {Brown, Gray, 30}, {Brown, Red, 20}, {Brown, Yellow, 20}, {Brown, Purple, 20},
    {Brown, PYellow, 10},
    {PBrown, PYellow, 40}, {PBrown, Orange, 40}, {PBrown, Yellow, 30}, {PBrown, Gray, 30},
    {PBrown, Pink, 20}, {PBrown, PRed, 20}, {PBrown, DRed, 20}, {PBrown, Black, 10},
    {Purple, Lilac, 80}, {Purple, DRed, 40}, {Purple, DBlue, 40}, {Purple, Red, 30},
    {Purple, Pink, 30}, {Purple, PRed, 20}, {Purple, BBlue, 20}, {Purple, Black, 20},
    {Purple, Gray, 10},
    {Lilac, Pink, 50}, {Lilac, PRed, 30}, {Lilac, BBlue, 30}, {Lilac, DBlue, 20},
    {Lilac, DRed, 20}, {Lilac, Gray, 20}, {Lilac, Red, 10},
    {Yellow, PYellow, 85}, {Yellow, Orange, 75}, {Yellow, Green, 30},
    {PYellow, Orange, 50}, {PYellow, Green, 20}, {PYellow, Pink, 10},
    {Orange, Red, 60}, {Orange, PRed, 40}, {Orange, Pink, 30}, {Orange, DRed, 30},
    {Pink, PRed, 80}, {Pink, Red, 70}, {Pink, DRed, 40},
    {Red, PRed, 80}, {Red, DRed, 80},
    {PRed, DRed, 60},
    {DRed, Black, 30},
    {BBlue, DBlue, 75}, {BBlue, Green, 30},
    {DBlue, Black, 30}, {DBlue, Green, 20}, {DBlue, Gray, 20},
    {Green, Gray, 10},
    {Gray, Black, 50},
};

TSearchConfig ShippedDefault()
{
    TSearchConfig c;
    c.ColorNames = {"No Result", "White", "Brown", "P.Brown", "Purple", "Lilac",
                    "Yellow",    "P. Yellow", "Orange", "Pink", "Red", "P.Red",
                    "D. Red",    "B. Blue", "D. Blue", "Green", "Gray", "Black"};
    for (int i = 0; i < ConfigColorCount; ++i)
        c.Similarity[i][i] = "100";
    for (const Pair& p : Pairs)
        c.Similarity[p.a][p.b] = c.Similarity[p.b][p.a] = QString::number(p.similarity);
    c.MatchingMethod = 0; // RF Error
    c.RFError = "1";
    c.Correlation = "5";
    c.ThallusColors.fill("No Result");
    return c;
}

} // namespace

TEST(ShippedDefault, DISABLED_WriteShippedDefault)
{
    TSearchConfig c = ShippedDefault();
    QFile f(ShippedPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(SearchConfigText(c).toUtf8());
}

TEST(ShippedDefault, IsTheWritersOutputOfTheTable)
{
    TSearchConfig c = ShippedDefault();
    const QByteArray bytes = FileBytes(ShippedPath);
    ASSERT_FALSE(bytes.isEmpty()) << ShippedPath.toStdString();
    EXPECT_EQ(bytes, SearchConfigText(c).toUtf8());
    EXPECT_EQ(c, ShippedDefault()); // the table is symmetric already
}

TEST(ShippedDefault, ParsesSymmetricAndRoundTrips)
{
    const TSearchConfigLoad load = ReadSearchConfigFile(ShippedPath, TSearchConfig());
    ASSERT_TRUE(load.Ok()) << load.Message.toStdString();
    EXPECT_TRUE(load.Warnings.isEmpty()) << load.Warnings.join(" | ").toStdString();
    const TSearchConfig& c = load.Config;
    EXPECT_EQ(c.ColorNames, ShippedDefault().ColorNames);
    for (int i = 0; i < ConfigColorCount; ++i) {
        EXPECT_EQ(c.Similarity[i][i], "100") << i;
        for (int j = 0; j < ConfigColorCount; ++j)
            EXPECT_EQ(c.Similarity[i][j], c.Similarity[j][i]) << i << "," << j;
    }
    EXPECT_EQ(c.RFError, "1");
    EXPECT_EQ(c.Correlation, "5");
    EXPECT_TRUE(FileBytes(ShippedPath).contains("\r\nMatchingMethod: 0\r\n"));
    EXPECT_EQ(SearchConfigSaveError(c), "");

    TSearchConfig again = c;
    again.MatchingMethod = 0;
    EXPECT_EQ(SearchConfigText(again).toUtf8(), FileBytes(ShippedPath));
}

TEST(ShippedDefault, NeighbouringShadesCountAsTheSameColour)
{
    const TSearchConfig c = ShippedDefault();
    // 50 and more: the same colour for RF Error.
    const std::pair<Color, Color> same[] = {
        {Yellow, PYellow}, {Red, PRed}, {Red, DRed}, {Red, Pink}, {Brown, PBrown},
        {BBlue, DBlue}, {Purple, Lilac}, {Orange, Yellow}};
    for (const auto& [a, b] : same)
        EXPECT_GE(c.Similarity[a][b].toInt(), 70) << a << "," << b;
    const std::pair<Color, Color> unrelated[] = {
        {Yellow, DBlue}, {Green, Red}, {Black, Yellow}, {NoResult, Red}, {White, Black}};
    for (const auto& [a, b] : unrelated)
        EXPECT_LE(c.Similarity[a][b].toInt(), 10) << a << "," << b;
    EXPECT_LT(c.Similarity[NoResult][White].toInt(), 50);
}

// Every figure that data/Default.scfg.md gives in its tables is the shipped
// file's own, so the notes cannot drift from the matrix again.
TEST(ShippedDefault, NotesQuoteTheFilesFigures)
{
    const TSearchConfigLoad load = ReadSearchConfigFile(ShippedPath, TSearchConfig());
    ASSERT_TRUE(load.Ok()) << load.Message.toStdString();
    QFile notes(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg.md"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly | QIODevice::Text));
    int figures = 0;
    for (const QString& line : QString::fromUtf8(notes.readAll()).split('\n')) {
        const QStringList cells = line.split('|');
        // | colour | colour | similarity |
        if (cells.size() != 5 || !cells[1].trimmed().front().isLetter() || cells[1].trimmed() == "colour")
            continue;
        const auto& names = load.Config.ColorNames;
        const int a = int(std::find(names.begin(), names.end(), cells[1].trimmed()) - names.begin());
        const int b = int(std::find(names.begin(), names.end(), cells[2].trimmed()) - names.begin());
        SCOPED_TRACE(line.toStdString());
        ASSERT_LT(a, ConfigColorCount);
        ASSERT_LT(b, ConfigColorCount);
        EXPECT_EQ(load.Config.Similarity[a][b], cells[3].trimmed());
        ++figures;
    }
    EXPECT_GE(figures, 20);
}
