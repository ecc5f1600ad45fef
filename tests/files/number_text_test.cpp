#include "files/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace velmora {
namespace {

TEST(FormatFixed, RightAlignedAndWiderWhenNeeded)
{
    EXPECT_EQ(FormatFixed(450000.123, 11, 3), " 450000.123");
    EXPECT_EQ(FormatFixed(101.5, 8, 3), " 101.500");
    EXPECT_EQ(FormatFixed(-12.3456, 9, 2), "   -12.35");
    EXPECT_EQ(FormatFixed(12345678.9, 8, 3), "12345678.900");
    EXPECT_EQ(FormatFixed(2.5, 0, 0), "2");
    EXPECT_EQ(FormatFixed(6378137.0, 7, 0), "6378137");
    EXPECT_EQ(FormatFixed(1e300, 3, 1).size(), 303u);
}

TEST(ScientificText, TwentyThreeCharactersWithAFourDigitExponent)
{
    EXPECT_EQ(ScientificText(1.25e-3), " 1.25000000000000E-0003");
    EXPECT_EQ(ScientificText(-123456.789012345678), "-1.23456789012346E+0005");
    EXPECT_EQ(ScientificText(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(ScientificText(-2.5e-300), "-2.50000000000000E-0300");
    EXPECT_EQ(ScientificText(9.999999999999999), " 1.00000000000000E+0001");
    EXPECT_EQ(ScientificText(std::numeric_limits<double>::infinity()).size(), 23u);
}

TEST(AngleText, DegreeSignAndBlankFormsShareTheDigits)
{
    const double b = (45.0 + 30.0 / 60.0 + 15.5 / 3600.0) * 3600.0;
    EXPECT_EQ(AngleText(b, AngleForm::DegreeSign), " 45\xB0" "30'15.50000\"");
    EXPECT_EQ(AngleText(b, AngleForm::Blanks), " 45 30 15.50000");
    EXPECT_EQ(AngleText(25.168125 * 3600.0, AngleForm::DegreeSign), " 25\xB0" "10'05.25000\"");
    EXPECT_EQ(AngleText(0.0, AngleForm::Blanks), "  0 00 00.00000");
    EXPECT_EQ(AngleText(123.0 * 3600.0 + 1.0, AngleForm::Blanks), "123 00 01.00000");
}

TEST(AngleText, SecondsThatRoundToSixtyCarry)
{
    EXPECT_EQ(AngleText(45.0 * 3600.0 + 30.0 * 60.0 + 59.999999, AngleForm::DegreeSign), " 45\xB0" "31'00.00000\"");
    EXPECT_EQ(AngleText(45.0 * 3600.0 + 59.0 * 60.0 + 59.999996, AngleForm::Blanks), " 46 00 00.00000");
    EXPECT_EQ(AngleText(45.0 * 3600.0 + 59.0 * 60.0 + 59.999994, AngleForm::Blanks), " 45 59 59.99999");
}

TEST(AngleText, NonFiniteValuesKeepTheWidthAndHugeOnesWiden)
{
    EXPECT_EQ(AngleText(std::numeric_limits<double>::quiet_NaN(), AngleForm::DegreeSign), "             nan");
    EXPECT_EQ(AngleText(std::numeric_limits<double>::infinity(), AngleForm::Blanks), "            inf");
    EXPECT_EQ(AngleText(-std::numeric_limits<double>::infinity(), AngleForm::DegreeSign), "            -inf");
    const std::string huge = AngleText(1e300, AngleForm::Blanks);
    EXPECT_GT(huge.size(), 290u);
    EXPECT_TRUE(huge.ends_with(" 00 00.00000")) << huge.substr(huge.size() - 20);
}

TEST(ParseDecimal, SignDigitsAndOnePoint)
{
    double value = 0.0;
    EXPECT_TRUE(ParseDecimal("450000.123", value));
    EXPECT_EQ(value, 450000.123);
    EXPECT_TRUE(ParseDecimal("+.5", value));
    EXPECT_EQ(value, 0.5);
    EXPECT_TRUE(ParseDecimal("-7.", value));
    EXPECT_EQ(value, -7.0);
    value = 42.0;
    for (const char* bad : {"", "+", "-", ".", "+-1", "1.2.3", "1-2", "--1"}) {
        EXPECT_FALSE(ParseDecimal(bad, value)) << bad;
    }
    EXPECT_FALSE(ParseDecimal("1" + std::string(400, '0'), value));
    EXPECT_EQ(value, 42.0);
}

TEST(DecimalErrorPosition, PointsAtTheFirstCharacterThatDoesNotFit)
{
    EXPECT_EQ(DecimalErrorPosition("12.5"), 0);
    EXPECT_EQ(DecimalErrorPosition("1.2.3"), 4);
    EXPECT_EQ(DecimalErrorPosition("1+"), 2);
    EXPECT_EQ(DecimalErrorPosition("-"), 2);
    EXPECT_EQ(DecimalErrorPosition(""), 1);
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// Decimal texts convert to the correctly rounded double, whichever way they are converted.
TEST(ParseDecimal, AgreesWithTheGeneralConversion)
{
    std::mt19937_64 random(7);
    for (int n = 0; n < 200000; ++n) {
        std::string text = (random() % 4 == 0) ? "-" : "";
        const int integerDigits = static_cast<int>(random() % 12);
        const int fractionDigits = static_cast<int>(random() % 25);
        for (int k = 0; k < integerDigits; ++k)
            text += static_cast<char>('0' + random() % 10);
        if (fractionDigits > 0 || integerDigits == 0) {
            text += '.';
            for (int k = 0; k < std::max(fractionDigits, 1); ++k)
                text += static_cast<char>('0' + random() % 10);
        }
        double value = 0.0;
        ASSERT_TRUE(ParseDecimal(text, value)) << text;
        ASSERT_EQ(value, std::strtod(text.c_str(), nullptr)) << text;
    }
}

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// Fixed-point text is the decimal nearest to the binary value, halves to even, however it is made.
TEST(FormatFixed, AgreesWithTheGeneralConversion)
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> uniform(-2e6, 2e6);
    std::vector<double> values = {0.0625, -0.0625, 0.0005, 2.5, 3.5, -0.0001, -0.0, 1e14 + 0.125, 999.9995};
    for (int n = 0; n < 200000; ++n)
        values.push_back(n % 2 ? uniform(random) : std::ldexp(static_cast<double>(random() % 4096), -12) + n);
    for (const double value : values) {
        for (int decimals = 0; decimals <= 3; ++decimals) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            ASSERT_EQ(FormatFixed(value, 0, decimals), expected) << value;
        }
    }
}

} // namespace
} // namespace velmora
