// Spot-file, full-file and CSV texts without any window.
#include "identify/SpotFiles.h"

#include <gtest/gtest.h>

namespace {

TSubstanceRecord Rec(const QString& name, const QString& a, const QString& bprime, const QString& aftuv = {})
{
    TSubstanceRecord r;
    r.name = name;
    r.A = a;
    r.Bprime = bprime;
    r.AftUV = aftuv;
    r.KResult = "Yellow";   // thallus fields are not stored
    return r;
}

TEST(SpotFileText, WritesBlocksAndReadsThemBack)
{
    const std::vector<TSubstanceRecord> spots = {Rec("Spot 1", "45", "30", "Blue"), Rec("Spot 2", "", "12")};
    const QString text = SpotFileText(spots);
    EXPECT_EQ(text, "Name: Spot 1\r\nA: 45\r\nBprime: 30\r\nAftUV: Blue\r\n\r\nName: Spot 2\r\nBprime: 12\r\n\r\n");
    for (const QString& variant : {text, text + "\r\n", text + "\r\n\r\n", QString(text).replace("\r\n", "\n")}) {
        const auto back = ParseSpotFileText(variant);
        ASSERT_EQ(back.size(), 2u);
        EXPECT_EQ(back[0].name, "Spot 1");
        EXPECT_EQ(back[0].Bprime, "30");
        EXPECT_EQ(back[0].AftUV, "Blue");
        EXPECT_EQ(back[0].KResult, "");
        EXPECT_EQ(back[1].name, "Spot 2");
        EXPECT_EQ(back[1].A, "");
    }
    EXPECT_TRUE(ParseSpotFileText("\r\n\r\n  \r\n").empty());
}

TEST(FullFileText, HoldsSpotsAndConfigurationBetweenMarkers)
{
    const QString text = FullFileText({Rec("Spot 1", "45", "")}, "RFError: 1\r\nCorrelation: 5");
    EXPECT_EQ(text, "Full file from Quillaspore\r\n***** TLC Spot Tests *****\r\nName: Spot 1\r\nA: 45\r\n\r\n"
                    "\r\n***** Search Configuration *****\r\nRFError: 1\r\nCorrelation: 5"
                    "\r\n***** Thallus test configuration *****\r\n");
    const TFullFileParts parts = SplitFullFileText(text);
    EXPECT_EQ(parts.SpotText, "Name: Spot 1\r\nA: 45");
    EXPECT_EQ(parts.SearchConfigText, "RFError: 1\r\nCorrelation: 5");
    EXPECT_EQ(FullFileText({}, "x"), "Full file from Quillaspore\r\n***** TLC Spot Tests *****\r\n"
                                     "\r\n***** Search Configuration *****\r\nx"
                                     "\r\n***** Thallus test configuration *****\r\n");
}

TEST(SpotCsv, QuotesOnlyWhereCsvReadersNeedIt)
{
    struct Case { QString in, out; };
    for (const Case& c : {Case{"Yellow", "Yellow"}, Case{"", ""}, Case{"a,b", "\"a,b\""}, Case{"say \"x\"", "\"say \"\"x\"\"\""},
                          Case{"two\r\nlines", "\"two\r\nlines\""}})
        EXPECT_EQ(CsvField(c.in), c.out) << c.in.toStdString();

    TCsvRow spot{"Spot 1", {"45"}};
    TCsvRow cune{"Spot 1 - Cune", {"46"}};
    TCsvRow odd{"Odd \"acid\"", {"1", "2,3"}};
    TCsvRow spot2{"Spot 2", {}};
    const QString text = SpotCsvText({spot, cune, odd, spot2});
    const QStringList lines = text.split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0].count(',') + 1, 20);   // an empty name field and 19 named columns
    EXPECT_TRUE(lines[0].endsWith(",PDResult,Cortex"));
    EXPECT_EQ(lines[1], "\"Spot 1\",45" + QString(18, ','));
    EXPECT_EQ(lines[2], "\"Spot 1 - Cune\",46" + QString(18, ','));
    EXPECT_EQ(lines[3], "\"Odd \"\"acid\"\"\",1,\"2,3\"" + QString(17, ','));
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "\"Spot 2\"" + QString(19, ','));
    EXPECT_EQ(lines[6], "");
}

} // namespace
