// Numbers as text, both ways. Writing: fixed-point numbers right-aligned in a width
// (value:width:decimals, wider when the number needs it), a fixed-width scientific form, and the
// two text forms of an angle, with the degree sign (byte 0xB0), apostrophe and double quote, or
// with blanks. Reading: the decimal numbers of the source files: an optional sign, digits and at
// most one point.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

void AppendFixed(std::string& out, double value, int width, int decimals);
std::string FormatFixed(double value, int width, int decimals);

// The 23-character scientific form of the reports: a blank or "-", one digit, a point, 14
// digits, "E", the exponent's sign and four digits, as in " 1.25000000000000E-0003".
std::string ScientificText(double value);

enum class AngleForm {
    DegreeSign, // " 45\xB0" "30'15.50000\""
    Blanks,     // " 45 30 15.50000"
};

// The angle is given in arc seconds: degrees right-aligned in 3 characters, two-digit minutes,
// seconds with 5 decimals and two integer digits; seconds that round to 60 carry into the minutes
// and the minutes into the degrees. A value that is not finite is written as "nan", "inf" or
// "-inf", right-aligned in the width of the form (16 with the degree sign, 15 with blanks).
void AppendAngleText(std::string& out, double arcSeconds, AngleForm form);
std::string AngleText(double arcSeconds, AngleForm form);

// 0 when text is a decimal number, otherwise the 1-based position of the first character that
// does not fit (one past the end when the text ends before a digit was seen).
int DecimalErrorPosition(std::string_view text);

// False when text is not a decimal number (or out of the range of double); value is then unchanged.
bool ParseDecimal(std::string_view text, double& value);

} // namespace velmora
