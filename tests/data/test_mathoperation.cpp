// MathOperation: leading decimal numbers, the 20-character limit, Roman page numbers.
#include "data/mathoperation.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace tavolin;

TEST(MathOperation, TwentyCharactersOrMoreGiveFalseAndZero) {
    float f = 5.0f;
    EXPECT_TRUE(MathOperation::TextToFloat(u"1234567890.12345678", f)); // 19 characters
    EXPECT_FLOAT_EQ(f, 1234567890.12345678f);
    f = 5.0f;
    EXPECT_FALSE(MathOperation::TextToFloat(u"1234567890.123456789", f)); // 20 characters
    EXPECT_EQ(f, 0.0f);
    int i = 5;
    EXPECT_TRUE(MathOperation::TextToInt(u"0000000000000000042", i));
    EXPECT_EQ(i, 42);
    EXPECT_FALSE(MathOperation::TextToInt(u"00000000000000000042", i));
    EXPECT_EQ(i, 0);
    // Characters, not bytes: 19 Chinese characters are still converted (to 0).
    EXPECT_TRUE(MathOperation::TextToInt(std::u16string(19, u'数'), i));
    EXPECT_FALSE(MathOperation::TextToInt(std::u16string(20, u'数'), i));
}

TEST(MathOperation, LeadingDecimalNumber) {
    const struct {
        const char16_t* text;
        float value;
    } cases[] = {{u"12.5abc", 12.5f}, {u"-3e2x", -300.0f}, {u"  +.5", 0.5f},    {u"7.", 7.0f},
                 {u"1e", 1.0f},       {u"2E+1", 20.0f},    {u"abc", 0.0f},      {u"", 0.0f},
                 {u".", 0.0f},        {u"-", 0.0f},        {u"0x1A", 0.0f},     {u"inf", 0.0f},
                 {u"nan", 0.0f},      {u"1,5", 1.0f},      {u"3.25 MPa", 3.25f}};
    for (const auto& c : cases) {
        float f = -1.0f;
        EXPECT_TRUE(MathOperation::TextToFloat(c.text, f));
        EXPECT_FLOAT_EQ(f, c.value);
    }
    float f = 0.0f;
    MathOperation::TextToFloat(u"1e999", f); // saturates instead of becoming infinite
    EXPECT_EQ(f, FLT_MAX);
    MathOperation::TextToFloat(u"-1e39", f);
    EXPECT_EQ(f, -FLT_MAX);
    MathOperation::TextToFloat(u"1e-999", f);
    EXPECT_EQ(f, 0.0f);
}

// Plain fixed-point texts take a shortcut; every one must give what a decimal-to-double
// conversion followed by a float rounding gives (the conversion the files were written for).
TEST(MathOperation, FixedPointTextsMatchTheGeneralConversion) {
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) {
        char buf[40];
        const int decimals = static_cast<int>(rng() % 8);
        const double magnitude = std::pow(10.0, static_cast<int>(rng() % 9) - 2);
        const double x = (static_cast<double>(rng()) / 4294967296.0) * magnitude;
        std::snprintf(buf, sizeof buf, "%s%.*f", rng() % 4 == 0 ? "-" : "", decimals, x);
        double expected = 0;
        std::from_chars(buf, buf + std::strlen(buf), expected);
        const std::u16string text(buf, buf + std::strlen(buf));
        float value = 1;
        ASSERT_TRUE(MathOperation::TextToFloat(text, value)) << buf;
        ASSERT_EQ(value, static_cast<float>(expected)) << buf;
        ASSERT_EQ(std::signbit(value), std::signbit(static_cast<float>(expected))) << buf;
    }
}

TEST(MathOperation, LeadingWholeNumber) {
    const struct {
        const char16_t* text;
        int value;
    } cases[] = {{u"12.7", 12},
                 {u"-8", -8},
                 {u" 35", 35},
                 {u"+4x", 4},
                 {u"x4", 0},
                 {u"1e3", 1},
                 {u"99999999999", INT_MAX},
                 {u"-99999999999", INT_MIN},
                 {u"2147483647", INT_MAX},
                 {u"-2147483648", INT_MIN},
                 {u"0x10", 0}};
    for (const auto& c : cases) {
        int i = -1;
        EXPECT_TRUE(MathOperation::TextToInt(c.text, i));
        EXPECT_EQ(i, c.value);
    }
}

TEST(MathOperation, RomanNumerals) {
    std::u16string text = u"keep";
    EXPECT_TRUE(MathOperation::ToRoman(0, text));
    EXPECT_EQ(text, u"");
    const struct {
        int n;
        const char16_t* roman;
    } cases[] = {{1, u"I"},   {4, u"IV"},   {9, u"IX"},       {14, u"XIV"}, {40, u"XL"},
                 {90, u"XC"}, {400, u"CD"}, {944, u"CMXLIV"}, {1000, u"M"}, {3, u"III"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(MathOperation::ToRoman(c.n, text));
        EXPECT_EQ(text, c.roman);
    }
    text = u"keep";
    EXPECT_FALSE(MathOperation::ToRoman(1001, text));
    EXPECT_FALSE(MathOperation::ToRoman(-1, text));
    EXPECT_EQ(text, u"keep");
}
