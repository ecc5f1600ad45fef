#include "files/SourceScan.h"

#include "core/Geodesy.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FirstField, UpToTheCommaWithoutBlanksAndUpperCased)
{
    EXPECT_EQ(FirstField("e n d f"), "ENDF");
    EXPECT_EQ(FirstField(" End , 1, 2"), "END");
    EXPECT_EQ(FirstField("\tp\x01" "1\xB0,x"), "P1");
    EXPECT_EQ(FirstField(", ENDF"), "");
    EXPECT_EQ(FirstField(""), "");
}

TEST(CleanToken, KeepsBlanksAndStopsAtCommaOrControlCharacter)
{
    EXPECT_EQ(CleanToken("p 2,450000"), "P 2");
    EXPECT_EQ(CleanToken("\x01\t pt a\tb"), " PT A");
    EXPECT_EQ(CleanToken(",abc"), "");
    EXPECT_EQ(CleanToken("abc"), "ABC");
}

double Dms(double d, double m, double s)
{
    return DegToRad(d + m / 60.0 + s / 3600.0);
}

TEST(ParseDmsAngle, AcceptedSpellings)
{
    for (const char* text : {" 45 30 15.5", "45\xB0" "30'15.5\"", " 45\xB0" "30'15.50000\"N", "45 30 15.5 N",
                             "N45 30 15.5", "45\xC2\xB0" "30'15.5\"", "45 30 15.5, rest"}) {
        double radians = 0.0;
        EXPECT_EQ(ParseDmsAngle(text, radians), 0) << text;
        EXPECT_DOUBLE_EQ(radians, Dms(45, 30, 15.5)) << text;
    }
}

TEST(ParseDmsAngle, MinutesAndSecondsAreAddedWhateverTheSignOfTheDegrees)
{
    double radians = 0.0;
    ASSERT_EQ(ParseDmsAngle("-45 30 0", radians), 0);
    EXPECT_DOUBLE_EQ(radians, DegToRad(-44.5));
}

TEST(ParseDmsAngle, Codes)
{
    double radians = 7.0;
    EXPECT_EQ(ParseDmsAngle("45 60 0", radians), kDmsMinutesTooLarge);
    EXPECT_EQ(ParseDmsAngle("45 30 60", radians), kDmsSecondsTooLarge);
    EXPECT_EQ(ParseDmsAngle("45 60 60", radians), kDmsMinutesTooLarge);
    EXPECT_EQ(ParseDmsAngle("45 -1 0", radians), kDmsMinutesNegative);
    EXPECT_EQ(ParseDmsAngle("45 1 -1", radians), kDmsSecondsNegative);
    EXPECT_EQ(ParseDmsAngle("", radians), kDmsMissingPart);
    EXPECT_EQ(ParseDmsAngle("45 30", radians), kDmsMissingPart);
    EXPECT_EQ(ParseDmsAngle("45x5 30 0", radians), kDmsMissingPart);   // digits after a stray letter
    EXPECT_EQ(ParseDmsAngle("45 30 15x7", radians), kDmsMissingPart);
    EXPECT_EQ(ParseDmsAngle("4.5.1 30 0", radians), 4);               // conversion error position
    EXPECT_EQ(ParseDmsAngle("45 30 -", radians), 2);
    EXPECT_EQ(radians, 7.0);
    EXPECT_EQ(ParseDmsAngle("45 30 15.5\"7", radians), 0); // the quote ends the seconds
}

TEST(ParseDmsAngle, LongTextsAreReadWhole)
{
    double radians = 0.0;
    ASSERT_EQ(ParseDmsAngle(std::string(70, ' ') + "45 30 15", radians), 0);
    EXPECT_DOUBLE_EQ(radians, Dms(45, 30, 15));
    EXPECT_EQ(ParseDmsAngle(std::string(100000, '1'), radians), kDmsMissingPart);
}

} // namespace
} // namespace velmora
