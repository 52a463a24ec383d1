// Cune correction of the eight Rf fields against control pairs.
#include "identify/CuneCorrection.h"

#include <gtest/gtest.h>

namespace {

TSubstanceRecord Values(const QString& name, std::initializer_list<std::pair<int, QString>> fields)
{
    TSubstanceRecord r;
    r.name = name;
    for (const auto& [k, v] : fields)
        r.Field(k) = v;
    return r;
}

// One control pair with the same published and local value in field A.
void AddPair(TCuneControls& c, int published, int local, int field = 1)
{
    c.push_back(Values("Control", {{field, QString::number(published)}}));
    c.push_back(Values("Control", {{field, QString::number(local)}}));
}

TEST(CuneCorrectValue, ExactResultsOfTheWeightedRatio)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> pairs;  // (published, local) in field A
        QString value;
        QString corrected;
    };
    const Case cases[] = {
        {"no controls", {}, "40", "40"},
        {"no controls, empty value", {}, "", ""},
        {"no controls, zero value", {}, "0", ""},
        {"one pair scales by its ratio", {{50, 40}}, "45", "56"},
        {"float rounding decides", {{40, 50}}, "50", "39"},
        {"two pairs, near one dominates", {{30, 27}, {60, 50}}, "40", "45"},
        {"two pairs, other value", {{30, 27}, {60, 50}}, "33", "36"},
        {"non-numeric value", {{50, 40}}, "x", ""},
    };
    for (const Case& c : cases) {
        TCuneControls controls;
        for (const auto& [p, l] : c.pairs)
            AddPair(controls, p, l);
        EXPECT_EQ(CuneCorrectValue(Values("Spot 1", {{1, c.value}}), 1, controls), c.corrected) << c.what;
    }
}

TEST(CuneCorrectValue, UnpairedLastRecordIsIgnored)
{
    TCuneControls controls;
    controls.push_back(Values("Published only", {{1, "50"}}));
    EXPECT_EQ(CuneCorrectValue(Values("Spot 1", {{1, "40"}}), 1, controls), "40");
    AddPair(controls, 60, 30);  // now (50, 60) and an unpaired 30
    EXPECT_EQ(CuneCorrectValue(Values("Spot 1", {{1, "40"}}), 1, controls),
              "33");  // 40 * 50 / 60 = 33.3
}

TEST(CuneCorrectValue, ControlWithoutValueInAFieldCountsOnlyInItsOtherFields)
{
    TCuneControls controls;
    controls.push_back(Values("Control", {{1, "50"}, {2, ""}}));
    controls.push_back(Values("Control", {{1, "40"}, {2, "30"}}));
    const TSubstanceRecord spot = Values("Spot 1", {{1, "45"}, {2, "40"}});
    EXPECT_EQ(CuneCorrectValue(spot, 1, controls), "56");
    EXPECT_EQ(CuneCorrectValue(spot, 2, controls), "40");  // no weight in B: unchanged
}

TEST(CuneCorrectValue, TakesAnyNumberOfPairs)
{
    // Ten far controls of ratio 1 and an eleventh at the value itself of
    // ratio 2: the eleventh dominates, so it must be counted.
    TCuneControls controls;
    for (int j = 0; j < 10; ++j)
        AddPair(controls, 90, 90);
    AddPair(controls, 30, 15);
    EXPECT_EQ(CuneCorrectValue(Values("Spot 1", {{1, "30"}}), 1, controls), "59");
}

TEST(CuneCorrectSpot, CorrectsTheEightRfFieldsOnly)
{
    TCuneControls controls;
    TSubstanceRecord published = Values("Control", {});
    TSubstanceRecord local = Values("Control", {});
    for (int i = 1; i <= 8; ++i) {
        published.Field(i) = "50";
        local.Field(i) = "40";
    }
    controls = {published, local};
    TSubstanceRecord spot = Values("Spot 3", {{11, "Yellow"}, {9, "+"}, {15, "Red"}});
    for (int i = 1; i <= 8; ++i)
        spot.Field(i) = i == 4 ? "" : "45";
    spot.SpareSlot = "spare";

    const TSubstanceRecord corrected = CuneCorrectSpot(spot, controls);
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(corrected.Field(i), i == 4 ? QString() : QString("56")) << i;  // HPLC included
    EXPECT_EQ(corrected.name, "Spot 3");
    EXPECT_EQ(corrected.BefUVL, "Yellow");
    EXPECT_EQ(corrected.BefVis, "+");
    EXPECT_EQ(corrected.KResult, "Red");
    EXPECT_EQ(corrected.SpareSlot, "spare");
}

} // namespace
