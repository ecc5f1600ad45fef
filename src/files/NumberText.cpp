#include "files/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace velmora {

namespace {

constexpr char kDegreeSign = '\xB0';

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Room for the widest double in fixed notation (309 digits) and any sensible precision.
using DigitBuffer = std::array<char, 512>;

std::string_view FixedDigits(DigitBuffer& buffer, double value, int decimals)
{
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

void AppendAngleText(std::string& out, double arcSeconds, AngleForm form)
{
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

    const bool degreeSign = form == AngleForm::DegreeSign;
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
    if (DecimalErrorPosition(text) != 0) {
        return false;
    }
    const bool negative = text.front() == '-';
    if (text.front() == '+' || negative) {
        text.remove_prefix(1);
    }
    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude,
                                              std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace velmora
