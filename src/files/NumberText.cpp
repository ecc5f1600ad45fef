#include "files/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace velmora {

namespace {

constexpr char kDegreeSign = '\xB0';

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Room for the widest double in fixed notation (309 digits) and any sensible precision.
using DigitBuffer = std::array<char, 512>;

// Up to three decimals, value times 10^decimals is exact in long double (64-bit mantissa), so
// rounding it to an integer, halves to even, rounds exactly as the general conversion does.
bool FastFixedDigits(DigitBuffer& buffer, double value, int decimals, std::string_view& digits)
{
    static constexpr long double kScale[] = {1.0L, 10.0L, 100.0L, 1000.0L};
    static constexpr std::uint64_t kDivisor[] = {1, 10, 100, 1000};
    if (decimals < 0 || decimals > 3 || !(std::fabs(value) < 1e15))
        return false;
    const auto scaled = static_cast<std::uint64_t>(std::llrint(std::fabs(static_cast<long double>(value) * kScale[decimals])));
    char* p = buffer.data();
    if (std::signbit(value))
        *p++ = '-';
    const std::uint64_t divisor = kDivisor[decimals];
    p = std::to_chars(p, buffer.data() + buffer.size(), scaled / divisor).ptr;
    if (decimals > 0) {
        *p++ = '.';
        std::uint64_t fraction = scaled % divisor;
        for (int k = decimals - 1; k >= 0; --k) {
            p[k] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        p += decimals;
    }
    digits = {buffer.data(), static_cast<std::size_t>(p - buffer.data())};
    return true;
}

std::string_view FixedDigits(DigitBuffer& buffer, double value, int decimals)
{
    if (std::string_view digits; FastFixedDigits(buffer, value, decimals, digits))
        return digits;
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, std::clamp(decimals, 0, 100));
    return {buffer.data(), error == std::errc() ? static_cast<std::size_t>(end - buffer.data()) : 0};
}

void AppendPadded(std::string& out, std::string_view digits, int width, char pad)
{
    if (static_cast<int>(digits.size()) < width) {
        out.append(static_cast<std::size_t>(width) - digits.size(), pad);
    }
    out.append(digits);
}

// Digits with at most one point and no sign. When the digits form an integer below 2^53 and at
// most 22 of them follow the point, the quotient of two exact doubles is the correctly rounded
// value: the common case of coordinate files, without the general conversion. False for anything
// else, including text that is not such a number.
bool ExactSmallDecimal(std::string_view digits, double& value)
{
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    std::uint64_t mantissa = 0;
    std::size_t decimals = 0;
    bool afterPoint = false;
    bool anyDigit = false;
    for (const char c : digits) {
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (!IsDigit(c))
            return false;
        anyDigit = true;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        if (mantissa >= kExactLimit)
            return false;
        decimals += afterPoint ? 1 : 0;
    }
    if (!anyDigit || decimals >= std::size(kPowersOfTen))
        return false;
    value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    return true;
}

} // namespace

void AppendFixed(std::string& out, double value, int width, int decimals)
{
    DigitBuffer buffer;
    AppendPadded(out, FixedDigits(buffer, value, decimals), width, ' ');
}

std::string FormatFixed(double value, int width, int decimals)
{
    std::string text;
    AppendFixed(text, value, width, decimals);
    return text;
}

std::string ScientificText(double value)
{
    constexpr int kWidth = 23;
    constexpr int kExponentDigits = 4;
    DigitBuffer buffer;
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                            std::chars_format::scientific, 14);
    const std::size_t length = error == std::errc() ? static_cast<std::size_t>(end - buffer.data()) : 0;
    const std::string_view digits(buffer.data(), length);
    std::string text(1, std::signbit(value) ? '-' : ' ');
    const std::size_t e = digits.find('e');
    if (e == std::string_view::npos || e + 2 >= digits.size()) {
        // Infinity and not-a-number have no exponent: their words, right-aligned.
        std::string word;
        AppendPadded(word, text.append(digits), kWidth, ' ');
        return word;
    }
    text.append(digits.substr(0, e));
    text.push_back('E');
    text.push_back(digits[e + 1]); // to_chars always writes the exponent's sign
    AppendPadded(text, digits.substr(e + 2), kExponentDigits, '0');
    return text;
}

void AppendAngleText(std::string& out, double arcSeconds, AngleForm form)
{
    const bool degreeSign = form == AngleForm::DegreeSign;
    if (!std::isfinite(arcSeconds)) {
        // No degrees, minutes and seconds to split: the value's own text in the angle's width.
        AppendFixed(out, arcSeconds, degreeSign ? 16 : 15, 0);
        return;
    }
    const double angle = arcSeconds / 3600.0;
    double degrees = std::trunc(angle);
    const double r = (angle - degrees) * 60.0;
    double minutes = std::trunc(r);
    double seconds = (r - minutes) * 60.0;

    // Seconds are judged as they will be written: 59.999996 would be written 60.00000.
    DigitBuffer secondsBuffer;
    std::string_view secondsText = FixedDigits(secondsBuffer, seconds, 5);
    double written = 0.0;
    if (ParseDecimal(secondsText, written) && written >= 60.0) {
        seconds = written - std::trunc(written);
        secondsText = FixedDigits(secondsBuffer, seconds, 5);
        minutes += 1.0;
        if (minutes == 60.0) {
            minutes = 0.0;
            degrees += 1.0;
        }
    }

    DigitBuffer buffer;
    AppendFixed(out, degrees, 3, 0);
    out.push_back(degreeSign ? kDegreeSign : ' ');
    AppendPadded(out, FixedDigits(buffer, minutes, 0), 2, '0');
    out.push_back(degreeSign ? '\'' : ' ');
    AppendPadded(out, secondsText, 8, '0');
    if (degreeSign) {
        out.push_back('"');
    }
}

std::string AngleText(double arcSeconds, AngleForm form)
{
    std::string text;
    AppendAngleText(text, arcSeconds, form);
    return text;
}

int DecimalErrorPosition(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    bool digits = false;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (i < text.size()) {
        return static_cast<int>(std::min<std::size_t>(i + 1, 1'000'000'000));
    }
    return digits ? 0 : static_cast<int>(std::min<std::size_t>(text.size() + 1, 1'000'000'000));
}

bool ParseDecimal(std::string_view text, double& value)
{
    const bool negative = !text.empty() && text.front() == '-';
    const bool hasSign = negative || (!text.empty() && text.front() == '+');
    const std::string_view digits = text.substr(hasSign ? 1 : 0);
    double magnitude = 0.0;
    if (!ExactSmallDecimal(digits, magnitude)) {
        if (DecimalErrorPosition(text) != 0) {
            return false;
        }
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude,
                                                  std::chars_format::fixed);
        if (error != std::errc() || end != digits.data() + digits.size()) {
            return false;
        }
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace velmora
