// Scoring of one candidate against one spot: RF Error points and mismatches,
// Correlation values in float steps, the colour tests.
#include "identify/Scoring.h"
#include "framework/Exceptions.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

namespace {

// Colours used by the tests; every other cell stays "0".
TColorMatrix TestMatrix()
{
    TColorMatrix m;
    const QStringList names = {"No Result", "White",  "Brown",  "P.Brown", "Purple", "Lilac",
                               "Yellow",    "P. Yellow", "Orange", "Pink",  "Red",    "P.Red",
                               "D. Red",    "B. Blue", "D. Blue", "Green", "Gray",   "Black"};
    for (int r = 0; r < 18; ++r) {
        m[r].ColorName = names[r];
        m[r].Similarity[r] = "100";
    }
    auto set = [&](int a, int b, const char* v) { m[a].Similarity[b] = v; m[b].Similarity[a] = v; };
    set(6, 7, "90");   // Yellow ~ P. Yellow
    set(6, 8, "50");   // Yellow ~ Orange: just the same for RF Error
    set(10, 11, "49"); // Red ~ P.Red: just different
    set(0, 10, "60");  // No Result ~ Red
    return m;
}

TSubstanceRecord Rec(std::map<int, QString> fields)
{
    TSubstanceRecord r;
    r.name = "Candidate";
    for (auto& [k, v] : fields)
        r.Field(k) = v;
    return r;
}

constexpr int A = 1, B = 2, C = 4, HPLC = 8, BefVis = 9, BefUVS = 10, BefUVL = 11, AftUV = 14,
              KResult = 15, Cortex = 19, Medulla = 20;

TEST(ColorRowIndex, FindsRowsByExactName)
{
    const TColorMatrix m = TestMatrix();
    const std::pair<QString, int> cases[] = {
        {"", 0}, {"No Result", 0}, {"White", 1}, {"Yellow", 6}, {"Black", 17},
        {"yellow", 0},    // other letter case matches no row
        {"Magenta", 0},   // unknown names read as "No Result"
    };
    for (const auto& [name, row] : cases)
        EXPECT_EQ(ColorRowIndex(name, m), row) << name.toStdString();
}

TEST(ColorRowIndex, RowZeroIsFoundOnlyThroughNoResult)
{
    TColorMatrix m = TestMatrix();
    m[0].ColorName = "Nothing";
    EXPECT_EQ(ColorRowIndex("Nothing", m), 0);
    EXPECT_EQ(ColorRowIndex("No Result", m), 0);
}

TEST(ColorMismatch, SplitsTheSimilarityAtFifty)
{
    const TColorMatrix m = TestMatrix();
    struct Case { const char* spot; const char* cand; int mismatch; };
    const Case cases[] = {
        {"Yellow", "Yellow", 0},  {"Yellow", "P. Yellow", 0}, {"Yellow", "Orange", 0},
        {"Red", "P.Red", 1},      {"Yellow", "Red", 1},
        {"Yellow", "", 0},        // an empty candidate colour is not tested
        {"", "Red", 0},           // an empty spot colour reads as "No Result" (cell 60)
        {"No Result", "Yellow", 1},
        {"yellow", "Red", 0},     // unknown spot colour is "No Result"
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorMismatch(c.spot, c.cand, m), c.mismatch) << c.spot << " / " << c.cand;
}

TEST(ColorMismatch, CellThatIsNoNumberRaises)
{
    TColorMatrix m = TestMatrix();
    m[6].Similarity[10] = "x";
    EXPECT_THROW(ColorMismatch("Yellow", "Red", m), EConvertError);
}

TEST(CompareRfValues, PointsAndMismatches)
{
    struct Case { int p, q, tol, mismatch, points; };
    const Case cases[] = {
        {30, 30, 1, 0, 2}, {30, 31, 1, 0, 1}, {31, 30, 1, 0, 1}, {30, 32, 1, 1, 0},
        {30, 31, 0, 1, 0}, {30, 0, 5, 0, 0},  {0, 30, 5, 0, 0},  {0, 0, 5, 0, 0},
    };
    for (const Case& c : cases) {
        int points = 10;
        EXPECT_EQ(CompareRfValues(c.p, c.q, points, c.tol), c.mismatch) << c.p << " " << c.q;
        EXPECT_EQ(points, 10 + c.points) << c.p << " " << c.q;
    }
}

struct RfCase {
    const char* what;
    std::map<int, QString> spot, cand;
    TCompareSwitches sw;
    bool kept;
    int points, mismatches;
};

TEST(RfErrorScore, SwitchesDecideWhatIsCompared)
{
    const TColorMatrix m = TestMatrix();
    const TCompareSwitches none, tlc{true, false, false}, uv{false, true, false},
        thallus{false, false, true}, uvThallus{false, true, true};
    const RfCase cases[] = {
        {"exact", {{A, "30"}}, {{A, "30"}}, none, true, 2, 0},
        {"within tolerance", {{A, "30"}}, {{A, "31"}}, none, true, 1, 0},
        {"missing value is neutral", {{A, "30"}, {B, "40"}}, {{A, "30"}}, none, true, 2, 0},
        {"stored 0 is neutral", {{A, "30"}}, {{A, "0"}}, none, false, 0, 0},
        {"no point, no mismatch", {{A, "30"}}, {{B, "40"}}, none, false, 0, 0},
        {"outside tolerance", {{A, "30"}, {C, "40"}}, {{A, "30"}, {C, "45"}}, none, false, 2, 1},
        {"HPLC counts", {{HPLC, "12"}}, {{HPLC, "12"}}, none, true, 2, 0},
        {"colour off", {{A, "30"}, {BefUVL, "Yellow"}}, {{A, "30"}, {BefUVL, "Red"}}, none, true, 2, 0},
        {"colour differs", {{A, "30"}, {BefUVL, "Yellow"}}, {{A, "30"}, {BefUVL, "Red"}}, tlc, false, 2, 1},
        {"colour empty on candidate", {{A, "30"}, {BefUVL, "Yellow"}}, {{A, "30"}}, tlc, true, 2, 0},
        {"AftUV not compared", {{A, "30"}, {AftUV, "Yellow"}}, {{A, "30"}, {AftUV, "Red"}}, tlc, true, 2, 0},
        {"visibility differs", {{A, "30"}, {BefVis, "+"}}, {{A, "30"}}, uv, false, 2, 1},
        {"both visibilities differ", {{A, "30"}, {BefVis, "+"}, {BefUVS, "+"}}, {{A, "30"}}, uv, false, 2, 2},
        {"visibility both empty", {{A, "30"}}, {{A, "30"}}, uv, true, 2, 0},
        {"thallus differs", {{A, "30"}, {KResult, "Yellow"}}, {{A, "30"}, {KResult, "Red"}}, thallus, false, 2, 1},
        {"cortex differs", {{A, "30"}, {Cortex, "Yellow"}}, {{A, "30"}, {Cortex, "Red"}}, thallus, false, 2, 1},
        {"medulla not compared", {{A, "30"}, {Medulla, "Yellow"}}, {{A, "30"}, {Medulla, "Red"}}, thallus, true, 2, 0},
        {"thallus skipped after a mismatch", {{A, "30"}, {BefVis, "+"}, {KResult, "Yellow"}},
         {{A, "30"}, {KResult, "Red"}}, uvThallus, false, 2, 1},
    };
    for (const RfCase& c : cases) {
        const TRfErrorOutcome out = RfErrorScore(Rec(c.spot), Rec(c.cand), 1, c.sw, m);
        EXPECT_EQ(out.Kept, c.kept) << c.what;
        EXPECT_EQ(out.Points, c.points) << c.what;
        EXPECT_EQ(out.Mismatches, c.mismatches) << c.what;
    }
}

TEST(ColorSimilarityScore, FourthRootInFloatSteps)
{
    TColorMatrix m = TestMatrix();
    int n = 3;
    EXPECT_EQ(ColorSimilarityScore("Yellow", "Yellow", n, m), 100.0f);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(ColorSimilarityScore("Yellow", "P. Yellow", n, m), 0x1.7b792ap+6f);  // 94.868324
    EXPECT_EQ(ColorSimilarityScore("Yellow", "Red", n, m), 0.0f);
    EXPECT_EQ(n, 6);
    m[6].Similarity[7] = "ninety";
    EXPECT_THROW(ColorSimilarityScore("Yellow", "P. Yellow", n, m), EConvertError);
}

struct CorrCase {
    const char* what;
    std::map<int, QString> spot, cand;
    TCompareSwitches sw;
    bool kept;
    float value;
    int count;
};

TEST(CorrelationScore, ExactFloatValues)
{
    const TColorMatrix m = TestMatrix();
    const TCompareSwitches none, tlc{true, false, false}, uv{false, true, false}, thallus{false, false, true};
    const CorrCase cases[] = {
        {"one exact value", {{A, "30"}}, {{A, "30"}}, none, true, 105.0f, 1},
        {"two exact values", {{A, "30"}, {C, "40"}}, {{A, "30"}, {C, "40"}}, none, true, 132.3f, 2},
        {"two differences of 2", {{A, "30"}, {C, "40"}}, {{A, "32"}, {C, "42"}}, none, true, 50.7f, 2},
        {"differences 2 and 3", {{A, "30"}, {C, "40"}}, {{A, "32"}, {C, "43"}}, none, false, 35.1f, 2},
        {"candidate lacks C", {{A, "30"}, {C, "40"}}, {{A, "30"}}, none, true, 105.0f, 1},
        {"difference of 1", {{A, "30"}}, {{A, "31"}}, none, true, 85.0f, 1},
        {"difference of 5", {{A, "30"}}, {{A, "35"}}, none, false, 5.0f, 1},
        {"both visibilities differ", {{A, "30"}, {BefVis, "+"}, {BefUVS, "+"}}, {{A, "30"}}, uv, false,
         static_cast<float>(static_cast<float>(105.0 * 0.6) * 0.6), 1},
        {"AftUV empty on candidate", {{A, "30"}, {AftUV, "Yellow"}}, {{A, "30"}}, tlc, true, 105.0f, 1},
        {"AftUV similar colour", {{A, "30"}, {AftUV, "Yellow"}}, {{A, "30"}, {AftUV, "P. Yellow"}}, tlc, true,
         0x1.eae5dcp+6f, 2},  // 105 * 0.974... * 1.2
        {"thallus all empty", {{A, "30"}, {C, "40"}}, {{A, "30"}, {C, "40"}}, thallus, true, 264.6f, 8},
        {"thallus dissimilar", {{A, "30"}, {KResult, "Yellow"}}, {{A, "30"}, {KResult, "Red"}}, thallus, false,
         0.0f, 7},
    };
    for (const CorrCase& c : cases) {
        const TCorrelationOutcome out = CorrelationScore(Rec(c.spot), Rec(c.cand), "5", c.sw, m);
        EXPECT_EQ(out.Kept, c.kept) << c.what;
        EXPECT_EQ(out.Value, c.value) << c.what;
        EXPECT_EQ(out.Count, c.count) << c.what;
    }
}

TEST(CorrelationScore, NothingComparedIsDropped)
{
    const TCorrelationOutcome out =
        CorrelationScore(Rec({{A, "30"}}), Rec({{B, "30"}}), "5", TCompareSwitches{true, true, true}, TestMatrix());
    EXPECT_FALSE(out.Kept);
    EXPECT_EQ(out.Count, 0);
}

TEST(CorrelationScore, OtherFactorDividesTheStep)
{
    // (110 - 100 * 3 / 10) * 100 / 100 = 80
    const TCorrelationOutcome out =
        CorrelationScore(Rec({{A, "30"}}), Rec({{A, "33"}}), "10", TCompareSwitches{}, TestMatrix());
    EXPECT_EQ(out.Value, 80.0f);
}

TEST(CorrelationScore, FactorThatIsNoPositiveWholeNumberRaisesAtTheFirstComparedValue)
{
    const TColorMatrix m = TestMatrix();
    for (const char* factor : {"", "5.5", "abc", "0", "-3"}) {
        EXPECT_THROW(CorrelationScore(Rec({{A, "30"}}), Rec({{A, "30"}}), factor, {}, m), EConvertError)
            << factor;
        // Without a value both sides have, the factor is never needed.
        EXPECT_NO_THROW(CorrelationScore(Rec({{A, "30"}}), Rec({{B, "30"}}), factor, {}, m)) << factor;
    }
}

} // namespace
