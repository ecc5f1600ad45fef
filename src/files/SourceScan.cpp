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

// The Romanian letters, as the upper-case ASCII letter a name keeps of them.
struct RomanianLetter {
    std::string_view bytes;
    char ascii;
};

// UTF-8, with s and t both in the comma-below and in the older cedilla form.
constexpr std::array<RomanianLetter, 14> kUtf8Letters{{
    {"\xC4\x83", 'A'}, {"\xC4\x82", 'A'}, {"\xC3\xA2", 'A'}, {"\xC3\x82", 'A'}, {"\xC3\xAE", 'I'},
    {"\xC3\x8E", 'I'}, {"\xC8\x99", 'S'}, {"\xC8\x98", 'S'}, {"\xC5\x9F", 'S'}, {"\xC5\x9E", 'S'},
    {"\xC8\x9B", 'T'}, {"\xC8\x9A", 'T'}, {"\xC5\xA3", 'T'}, {"\xC5\xA2", 'T'},
}};

// Windows-1250. Windows-1252 has the same bytes for the letters with a circumflex, and the older
// Romanian fonts for it draw the others on these bytes too (a-tilde, the ordinals, thorn).
constexpr std::array<RomanianLetter, 10> kSingleByteLetters{{
    {"\xE3", 'A'}, {"\xC3", 'A'}, {"\xE2", 'A'}, {"\xC2", 'A'}, {"\xEE", 'I'},
    {"\xCE", 'I'}, {"\xBA", 'S'}, {"\xAA", 'S'}, {"\xFE", 'T'}, {"\xDE", 'T'},
}};

bool IsContinuationByte(char c)
{
    return (Code(c) & 0xC0U) == 0x80U;
}

// The length of the well-formed UTF-8 sequence of two to four bytes at the start of text, or 0.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const unsigned char lead = Code(text.front());
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4                                 ? 4
                                                                                              : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuationByte(text[k])) {
            return 0;
        }
    }
    return length;
}

// The Romanian letter at the start of text: its ASCII letter and how many bytes it takes, or 0.
// A well-formed UTF-8 sequence of another character is no letter, except where the same two bytes
// are an upper-case letter and an s-cedilla in Windows-1250 (as in the capitals of Rasinari).
char RomanianLetterAt(std::string_view text, std::size_t& length)
{
    if (text.empty() || Code(text.front()) < 0x80) {
        return 0;
    }
    for (const RomanianLetter& letter : kUtf8Letters) {
        if (text.starts_with(letter.bytes)) {
            length = letter.bytes.size();
            return letter.ascii;
        }
    }
    const std::size_t utf8 = Utf8SequenceLength(text);
    if (utf8 > 2 || (utf8 == 2 && text[1] != '\xAA' && text[1] != '\xBA')) {
        return 0;
    }
    for (const RomanianLetter& letter : kSingleByteLetters) {
        if (text.front() == letter.bytes.front()) {
            length = 1;
            return letter.ascii;
        }
    }
    return 0;
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
    const std::string_view text = line.substr(0, line.find(','));
    std::string field;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 1;
        if (const char letter = RomanianLetterAt(text.substr(pos), length)) {
            field.push_back(letter);
        } else if (Code(text[pos]) >= 33 && Code(text[pos]) <= 126) {
            field.push_back(Upper(text[pos]));
        }
        pos += length;
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
    std::size_t length = 0;
    while (pos_ < line_.size() && !IsPrintable(line_[pos_]) && RomanianLetterAt(line_.substr(pos_), length) == 0) {
        ++pos_;
    }
    std::string name;
    while (pos_ < line_.size()) {
        if (const char letter = RomanianLetterAt(line_.substr(pos_), length)) {
            name.push_back(letter);
            pos_ += length;
            continue;
        }
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

bool LineScanner::NumberCharsOfField(std::string& out, bool digitsAndPointOnly)
{
    out.clear();
    bool textAfterNumber = false;
    bool textInside = false;
    while (pos_ < line_.size()) {
        const char c = line_[pos_++];
        if (c == ',') {
            break;
        }
        const bool wanted = digitsAndPointOnly ? (c == '.' || (c >= '0' && c <= '9')) : IsNumberChar(c);
        if (wanted) {
            textInside = textInside || textAfterNumber;
            out.push_back(c);
        } else if (!out.empty() && c != ' ' && !IsNumberChar(c)) {
            textAfterNumber = true;
        }
    }
    return !textInside;
}

} // namespace velmora
