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

TEST(CleanToken, RomanianLettersBecomeTheirAsciiLetters)
{
    // UTF-8, s and t with the comma below and with the cedilla.
    EXPECT_EQ(CleanToken("Br\xC4\x83ila, 1"), "BRAILA");
    EXPECT_EQ(CleanToken("\xC4\x83\xC3\xA2\xC3\xAE\xC8\x99\xC5\x9F\xC8\x9B\xC5\xA3 "
                         "\xC4\x82\xC3\x82\xC3\x8E\xC8\x98\xC5\x9E\xC8\x9A\xC5\xA2"),
              "AAISSTT AAISSTT");
    // Windows-1250; Windows-1252 has the same bytes for these letters or their stand-ins.
    EXPECT_EQ(CleanToken("\xE3\xE2\xEE\xBA\xFE \xC3\xC2\xCE\xAA\xDE"), "AAIST AAIST");
    EXPECT_EQ(CleanToken("\xC8\x98tei"), "STEI");
    EXPECT_EQ(FirstField("\xC8\x98tei, 1"), "STEI");
    // An upper-case letter then S-cedilla in Windows-1250 is also a well-formed UTF-8 letter; the
    // Romanian reading wins.
    EXPECT_EQ(CleanToken("R\xC3\xAAINARI"), "RASINARI");
    // Any other character outside 32..126 still ends a name, in either encoding.
    EXPECT_EQ(CleanToken("Gy\xF5r"), "GY");
    EXPECT_EQ(CleanToken("Andr\xC3\xA9 2"), "ANDR");
    EXPECT_EQ(CleanToken("A\xC2\xB0"), "A");
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
