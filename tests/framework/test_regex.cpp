#include "framework/RegEx.h"

#include <gtest/gtest.h>

namespace {

TEST(RegEx, MatchesLeftToRightWithoutOverlapOrEmptyMatches)
{
    struct Case { QByteArray pattern, subject; std::vector<QByteArray> values; std::vector<int> indexes; } cases[] = {
        {"aa", "aaaaa", {"aa", "aa"}, {1, 3}},
        {"a*", "baaac", {"aaa"}, {2}},                  // the empty matches around it are skipped
        {"x*", "abc", {}, {}},
        {"\\d+", "Rf 12, 7 and 300", {"12", "7", "300"}, {4, 8, 14}},
        {"a.c", "a\nc abc", {"abc"}, {5}},             // "." stops at a line break
        {"A", "a", {}, {}},                              // case-sensitive
        {"\xC3\xA9", "caf\xC3\xA9!", {"\xC3\xA9"}, {4}}, // byte positions
        {"b", "\xFF\xFE" "b", {"b"}, {3}},              // invalid UTF-8 is just bytes
    };
    for (const auto& c : cases) {
        const TMatchCollection m = TRegEx::Matches(c.subject, c.pattern);
        ASSERT_EQ(m.Count(), int(c.values.size())) << c.pattern.constData();
        for (int i = 0; i < m.Count(); ++i) {
            EXPECT_EQ(m[i].Value, c.values[size_t(i)]) << c.pattern.constData();
            EXPECT_EQ(m[i].Index, c.indexes[size_t(i)]) << c.pattern.constData();
            EXPECT_EQ(m[i].Length, c.values[size_t(i)].size());
        }
    }
}

TEST(RegEx, GroupsByNumberAndUnsetGroupsEmpty)
{
    TRegEx re("\"([^\"]+)\":(?:\"([^\"]*)\"|(\\d+))");
    const TMatchCollection m = re.Matches("{\"name\":\"Atranorin\",\"A\":75}");
    ASSERT_EQ(m.Count(), 2);
    EXPECT_EQ(m[0].Group(1), "name");
    EXPECT_EQ(m[0].Group(2), "Atranorin");
    EXPECT_EQ(m[0].Group(3), "");
    EXPECT_EQ(m[1].Group(1), "A");
    EXPECT_EQ(m[1].Group(2), "");
    EXPECT_EQ(m[1].Group(3), "75");
    EXPECT_EQ(m[1].Groups.size(), 4u);
    EXPECT_EQ(m[1].Group(0), m[1].Value);
    EXPECT_EQ(m[1].Group(9), "");
    EXPECT_TRUE(re.IsMatch("\"k\":1"));
    EXPECT_FALSE(re.Match("nothing").Success);
}

TEST(RegEx, IndexOutsideTheListRaises)
{
    const TMatchCollection m = TRegEx::Matches("a1b2", "\\d");
    ASSERT_EQ(m.Count(), 2);
    for (int bad : {-1, 2, 100}) {
        try {
            (void)m[bad];
            FAIL() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message, QString("Index out of bounds (%1)").arg(bad));
        }
    }
    EXPECT_THROW(TRegEx::Matches("x", "")[0], EListError);   // only empty matches: none
}

TEST(RegEx, BadPatternRaises)
{
    EXPECT_THROW(TRegEx("(unclosed"), Exception);
}

} // namespace
