// Scanning the lines of a source point file: the keyword of a line, point names, runs of number
// characters, comma-separated fields and the angle text in degrees, minutes and seconds. A scan
// moves forward through one line and consumes the character that stopped it. Lines of any length
// are scanned whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// "+", "-", ".", "0".."9".
bool IsNumberChar(char c);

// The line up to its first comma, without the characters outside 33..126, letters upper-cased:
// "ENDF" ends the point data, "END" a section.
std::string FirstField(std::string_view line);

// From the start of text, skipping characters outside 32..126 that come before the first
// accepted one: the upper-cased text up to the first comma or the next character outside
// 32..126. Blanks are kept.
std::string CleanToken(std::string_view text);

// FirstField and CleanToken, and so every point name, take the Romanian letters (a with breve or
// circumflex, i with circumflex, s and t with comma or cedilla, both cases) as their ASCII letters
// A, I, S, T, whether written in UTF-8 or in single bytes (Windows-1250, and the same bytes as the
// Romanian fonts of Windows-1252 show them).

// Result codes of ParseDmsAngle besides 0 (success) and a conversion's error position.
inline constexpr int kDmsMissingPart = -1;
inline constexpr int kDmsMinutesTooLarge = 61;
inline constexpr int kDmsSecondsTooLarge = 62;
inline constexpr int kDmsMinutesNegative = -61;
inline constexpr int kDmsSecondsNegative = -62;

// Degrees, minutes and seconds separated by blanks, or followed by the degree sign (0xB0), the
// apostrophe and the double quote; anything before the degrees and after the seconds' end mark is
// ignored. Returns 0 and the angle in radians (degrees + minutes/60 + seconds/3600), or a code.
int ParseDmsAngle(std::string_view text, double& radians);

class LineScanner {
public:
    explicit LineScanner(std::string_view line) : line_(line) {}

    bool AtEnd() const { return pos_ >= line_.size(); }

    // CleanToken from the current position.
    std::string Name();

    // The first run of token characters (33..126 except the comma), upper-cased, first three kept.
    std::string Token();

    struct Run {
        std::string_view text;
        bool reachedEnd; // the run went on to the end of the line: no character stopped it
    };
    // Skips to the next number character and takes the run of number characters.
    Run NumberRun();

    struct Field {
        std::string_view text;
        bool comma; // false when the line ended first
    };
    // The characters up to the next comma.
    Field UpToComma();

    // Every number character (digitsAndPointOnly: only "." and digits) up to the next comma or the
    // end of the line, other characters skipped, so that the digits around a blank are joined.
    // False when a character other than a number character or a blank stands between two of the
    // characters taken ("7O.5", "77 (pct 5)"): such a field is no number to guess at.
    [[nodiscard]] bool NumberCharsOfField(std::string& out, bool digitsAndPointOnly = false);

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

} // namespace velmora
