#include "files/SourceScan.h"

#include "core/Geodesy.h"
#include "files/NumberText.h"

#include <array>

namespace velmora {

namespace {

constexpr char kDegreeSign = '\xB0';

unsigned char Code(char c)
{
    return static_cast<unsigned char>(c);
}

// Code 32..126: the characters of names and texts.
bool IsPrintable(char c)
{
    return Code(c) >= 32 && Code(c) <= 126;
}

bool IsTextChar(char c)
{
    return IsPrintable(c) && c != ',';
}

bool IsTokenChar(char c)
{
    return IsTextChar(c) && c != ' ';
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

struct PassResult {
    std::string_view digits;
    bool started = false;
    bool invalid = false;
};

// One of the three passes of the angle text: skips to the first number character, collects the
// run, and stops at a blank or at `terminator` (or at the end of the text). After the start,
// another character makes the pass suspect, and a number character after that makes it invalid.
PassResult ScanDmsPass(std::string_view text, std::size_t& pos, char terminator)
{
    PassResult pass;
    while (pos < text.size() && !IsNumberChar(text[pos])) {
        ++pos;
    }
    if (pos >= text.size()) {
        return pass;
    }
    pass.started = true;
    const std::size_t first = pos;
    while (pos < text.size() && IsNumberChar(text[pos])) {
        ++pos;
    }
    pass.digits = text.substr(first, pos - first);
    bool suspect = false;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == ' ' || c == terminator) {
            break;
        }
        if (IsNumberChar(c)) {
            pass.invalid = pass.invalid || suspect;
        } else {
            suspect = true;
        }
    }
    return pass;
}

} // namespace

bool IsNumberChar(char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

std::string FirstField(std::string_view line)
{
    std::string field;
    for (const char c : line.substr(0, line.find(','))) {
        if (Code(c) >= 33 && Code(c) <= 126) {
            field.push_back(Upper(c));
        }
    }
    return field;
}

std::string CleanToken(std::string_view text)
{
    return LineScanner(text).Name();
}

int ParseDmsAngle(std::string_view text, double& radians)
{
    std::size_t pos = 0;
    const std::array<PassResult, 3> passes{ScanDmsPass(text, pos, kDegreeSign), ScanDmsPass(text, pos, '\''),
                                           ScanDmsPass(text, pos, '"')};
    for (const PassResult& pass : passes) {
        if (!pass.started || pass.invalid) {
            return kDmsMissingPart;
        }
    }
    std::array<double, 3> values{};
    for (std::size_t i = 0; i < passes.size(); ++i) {
        if (!ParseDecimal(passes[i].digits, values[i])) {
            const int position = DecimalErrorPosition(passes[i].digits);
            return position != 0 ? position : kDmsMissingPart; // else beyond the range of double
        }
    }
    const auto [degrees, minutes, seconds] = values;
    if (minutes >= 60.0) {
        return kDmsMinutesTooLarge;
    }
    if (seconds >= 60.0) {
        return kDmsSecondsTooLarge;
    }
    if (minutes < 0.0) {
        return kDmsMinutesNegative;
    }
    if (seconds < 0.0) {
        return kDmsSecondsNegative;
    }
    radians = DegToRad(degrees + minutes / 60.0 + seconds / 3600.0);
    return 0;
}

std::string LineScanner::Name()
{
    while (pos_ < line_.size() && !IsPrintable(line_[pos_])) {
        ++pos_;
    }
    std::string name;
    while (pos_ < line_.size()) {
        const char c = line_[pos_++];
        if (!IsTextChar(c)) {
            break;
        }
        name.push_back(Upper(c));
    }
    return name;
}

std::string LineScanner::Token()
{
    while (pos_ < line_.size() && !IsTokenChar(line_[pos_])) {
        ++pos_;
    }
    std::string token;
    while (pos_ < line_.size() && IsTokenChar(line_[pos_])) {
        if (token.size() < 3) {
            token.push_back(Upper(line_[pos_]));
        }
        ++pos_;
    }
    return token;
}

LineScanner::Run LineScanner::NumberRun()
{
    while (pos_ < line_.size() && !IsNumberChar(line_[pos_])) {
        ++pos_;
    }
    const std::size_t first = pos_;
    while (pos_ < line_.size() && IsNumberChar(line_[pos_])) {
        ++pos_;
    }
    const Run run{line_.substr(first, pos_ - first), pos_ >= line_.size()};
    if (!run.reachedEnd) {
        ++pos_;
    }
    return run;
}

LineScanner::Field LineScanner::UpToComma()
{
    const std::size_t first = std::min(pos_, line_.size());
    const std::size_t comma = line_.find(',', first);
    if (comma == std::string_view::npos) {
        pos_ = line_.size();
        return {line_.substr(first), false};
    }
    pos_ = comma + 1;
    return {line_.substr(first, comma - first), true};
}

void LineScanner::NumberCharsOfField(std::string& out, bool digitsAndPointOnly)
{
    out.clear();
    while (pos_ < line_.size()) {
        const char c = line_[pos_++];
        if (c == ',') {
            break;
        }
        const bool wanted = digitsAndPointOnly ? (c == '.' || (c >= '0' && c <= '9')) : IsNumberChar(c);
        if (wanted) {
            out.push_back(c);
        }
    }
}

} // namespace velmora
