#include "framework/Exceptions.h"
#include "framework/Text.h"

#include <gtest/gtest.h>

#include <limits>

#include <cmath>

namespace {

// Fixes the decimal separator for the test and restores the locale's after.
class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(QChar c) { SetDecimalSeparator(c); }
    ~DecimalSeparatorScope() { SetDecimalSeparator(QChar(0)); }
};

TEST(TextTrim, RemovesOnlyCodesUpTo32FromBothEnds)
{
    struct Case { QString in, out; } cases[] = {
        {"", ""},
        {"  abc  ", "abc"},
        {QString("\t\r\n\x01" "a b\x1f "), "a b"},
        {QString(QChar(0x00A0)) + "x" + QChar(0x00A0), QString(QChar(0x00A0)) + "x" + QChar(0x00A0)},  // no-break space stays
        {QString(QChar(0x2003)) + "x", QString(QChar(0x2003)) + "x"},
        {"   ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Trim(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(TrimAnsi(QByteArray("\x01 ab\xA0 \n")), QByteArray("ab\xA0"));
}

TEST(TextIntegers, StrToIntDefAcceptsSignedDecimalsInRangeOnly)
{
    struct Case { const char* in; int def; int out; } cases[] = {
        {"0", -1, 0}, {"42", -1, 42}, {"+7", -1, 7}, {"-15", -1, -15}, {"  12", -1, 12},
        {"\t-3", -1, -3}, {"007", -1, 7},
        {"2147483647", -1, 2147483647}, {"-2147483648", -1, int(-2147483648LL)},
        {"2147483648", -1, -1}, {"-2147483649", -1, -1}, {"99999999999999999999", -1, -1},
        {"", -1, -1}, {" ", -1, -1}, {"+", -1, -1}, {"-", -1, -1}, {"12 ", -1, -1}, {"1.5", -1, -1},
        {"1e3", -1, -1}, {"0x10", -1, -1}, {"$10", -1, -1}, {"1,000", -1, -1}, {"- 1", -1, -1}, {"abc", 5, 5},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToIntDef(c.in, c.def), c.out) << c.in;
    // Full-width digits are not decimal digits here.
    EXPECT_EQ(StrToIntDef(QString(QChar(0xFF11)), 9), 9);
}

TEST(TextIntegers, StrToIntRaisesWithTheText)
{
    EXPECT_EQ(StrToInt(" -20"), -20);
    try {
        StrToInt("12a");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'12a' is not a valid integer value");
    }
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_EQ(IntToStr(-1234567890123LL), "-1234567890123");
}

TEST(TextFloats, StrToFloatUsesTheLocaleSeparatorWithoutGroups)
{
    {
        DecimalSeparatorScope comma(u',');
        struct Case { const char* in; double out; } ok[] = {
            {"0,5", 0.5}, {"-1,25", -1.25}, {"1e-400", 0.0}, {" 3 ", 3.0}, {",5", 0.5}, {"5,", 5.0}, {"1,5e2", 150.0}, {"+2E-1", 0.2}};
        for (const auto& c : ok) EXPECT_DOUBLE_EQ(StrToFloat(c.in), c.out) << c.in;
        const char* bad[] = {"0.5", "1.000,5", "", ",", "e5", "1e", "1,5x", "1e999", "nan", "inf"};
        for (const char* b : bad) {
            EXPECT_THROW(StrToFloat(b), EConvertError) << b;
            EXPECT_EQ(StrToFloatDef(b, -7.0), -7.0) << b;
        }
    }
    {
        DecimalSeparatorScope point(u'.');
        EXPECT_DOUBLE_EQ(StrToFloat("0.75"), 0.75);
        EXPECT_THROW(StrToFloat("0,75"), EConvertError);
        EXPECT_THROW(StrToFloat("1,000.5"), EConvertError);
    }
}

TEST(TextFloats, FloatToStrFRoundsTheExactValueHalfAwayFromZero)
{
    DecimalSeparatorScope point(u'.');
    struct Case { double v; int precision, digits; const char* out; } cases[] = {
        {0.125, 15, 2, "0.13"},      // exactly representable half: away from zero
        {-0.125, 15, 2, "-0.13"},
        {2.675, 15, 2, "2.67"},      // the double is below 2.675
        {1.005, 15, 2, "1.00"},      // the double is below 1.005
        {0.5, 15, 0, "1"}, {1.5, 15, 0, "2"}, {2.5, 15, 0, "3"}, {-2.5, 15, 0, "-3"},
        {9.995, 15, 2, "9.99"},      // below the half as a double
        {9.9951, 15, 2, "10.00"},
        {0.0, 15, 2, "0.00"}, {-0.001, 15, 2, "0.00"},
        {123.456, 15, 1, "123.5"}, {1234567.0, 15, 3, "1234567.000"},
        {123.456, 4, 2, "123.50"},   // four significant digits, then padded
        {0.1, 15, 18, "0.100000000000000000"},  // precision caps the noise digits
        {42.0, 7, 0, "42"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStrF(c.v, c.precision, c.digits), c.out) << c.v;
    EXPECT_EQ(FloatToStrF(std::nan(""), 15, 2), "NAN");
    EXPECT_EQ(FloatToStrF(12345678.0, 4, 2), "1.235E+07");
}

TEST(TextFloats, FloatToStrFUsesTheLocaleSeparator)
{
    DecimalSeparatorScope comma(u',');
    EXPECT_EQ(FloatToStrF(0.125, 15, 2), "0,13");
    EXPECT_EQ(FloatToStrF(3.0, 15, 0), "3");
}

TEST(TextReplace, ReplaceTextIgnoresOnlyAsciiCase)
{
    struct Case { QString s, from, to, out; } cases[] = {
        {"\\u00E9 and \\u00e9", "\\u00e9", QString(QChar(0xE9)), QString(QChar(0xE9)) + " and " + QChar(0xE9)},
        {"\\U00E9", "\\u00e9", "x", "x"},
        {"aaa", "a", "aa", "aaaaaa"},     // no re-scan of replaced text
        {"abc", "", "x", "abc"},
        {"", "a", "b", ""},
        {QString(QChar(0xC9)), QString(QChar(0xE9)), "x", QString(QChar(0xC9))},  // not ASCII: exact
        {",\",\"", ",\"", "\"", "\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(ReplaceText(c.s, c.from, c.to), c.out) << c.s.toStdString();
    EXPECT_EQ(ReplaceAll("\\U00fc\\u00fc", "\\u00fc", "u"), "\\U00fcu");
}

TEST(TextDates, FormatDateMmmDYyyyIsTheUtcDate)
{
    struct Case { long long secs; const char* out; } cases[] = {
        {0, "Jan 1, 1970"},
        {1709596800, "Mar 5, 2024"},    // 2024-03-05 00:00:00 UTC
        {1709683199, "Mar 5, 2024"},    // 23:59:59 the same day
        {1735689599, "Dec 31, 2024"},
        {951782400, "Feb 29, 2000"},
    };
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const auto& c : cases) EXPECT_EQ(FormatDateMmmDYyyy(c.secs, english), c.out) << c.secs;
    // The month as the locale abbreviates it; dates without a four-digit
    // year give the empty text instead of overflowing.
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(FormatDateMmmDYyyy(1709596800, german), german.monthName(3, QLocale::ShortFormat) + " 5, 2024");
    EXPECT_NE(FormatDateMmmDYyyy(1709596800, german), FormatDateMmmDYyyy(1709596800, english));
    EXPECT_EQ(FormatDateMmmDYyyy(253402300799LL, english), "Dec 31, 9999");
    for (long long outside : {253402300800LL, 9300000000000000LL, -62135596801LL, -9300000000000000LL,
                              std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min()})
        EXPECT_EQ(FormatDateMmmDYyyy(outside, english), "") << outside;
    SetUnixNowForTesting(1234);
    EXPECT_EQ(UnixNow(), 1234);
    SetUnixNowForTesting(0);
    EXPECT_GT(UnixNow(), 1600000000);
}

TEST(TextDecoding, Windows1252MapsEveryByteToOneCharacter)
{
    struct Case { unsigned char byte; char16_t code; } cases[] = {
        {0x41, u'A'}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x88, 0x02C6}, {0x8A, 0x0160}, {0x8D, 0x008D},
        {0x8F, 0x008F}, {0x90, 0x0090}, {0x9A, 0x0161}, {0x9D, 0x009D}, {0x9E, 0x017E}, {0x9F, 0x0178},
        {0xA0, 0x00A0}, {0xC3, 0x00C3}, {0xE9, 0x00E9}, {0xFF, 0x00FF}, {0x00, 0x0000},
    };
    for (const auto& c : cases) {
        const QString s = DecodeWindows1252(QByteArray(1, char(c.byte)));
        ASSERT_EQ(s.size(), 1);
        EXPECT_EQ(s.at(0).unicode(), c.code) << int(c.byte);
    }
    // UTF-8 bytes arrive as two characters each.
    EXPECT_EQ(DecodeWindows1252("\xC3\xA9"), QString(QChar(0xC3)) + QChar(0xA9));
}

TEST(TextDecoding, Utf8ReplacesInvalidBytes)
{
    EXPECT_EQ(DecodeUtf8("caf\xC3\xA9"), QString("caf") + QChar(0xE9));
    const QString bad = DecodeUtf8("a\xFF" "b");
    EXPECT_TRUE(bad.startsWith('a'));
    EXPECT_TRUE(bad.endsWith('b'));
    EXPECT_TRUE(bad.contains(QChar(0xFFFD)));
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xCE\xB1"));
    EXPECT_FALSE(IsValidUtf8("\xCE"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));   // overlong
}

TEST(TextMisc, UrlEncodeAndCase)
{
    EXPECT_EQ(UrlEncode("Cladonia rangiferina"), "Cladonia%20rangiferina");
    EXPECT_EQ(UrlEncode("a-b_c.d~e&f=g/h"), "a-b_c.d~e%26f%3Dg%2Fh");
    EXPECT_EQ(UrlEncode(QString(QChar(0xE9))), "%C3%A9");
    EXPECT_EQ(UpperCase(QString("abc") + QChar(0xE9)), QString("ABC") + QChar(0xC9));
    EXPECT_TRUE(IsAsciiLetter('z'));
    EXPECT_FALSE(IsAsciiLetter(QChar(0xE9)));
    EXPECT_FALSE(IsAsciiLetter('1'));
}

} // namespace
