#include "building/Drawing.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/ResultWriter.h"

#include <array>
#include <cmath>
#include <numbers>

namespace velmora {

namespace {

struct LayerEntry {
    const char* name;
    const char* colour; // the colour line as written
};

// PARCELA's colour line is narrower than the others; drawings have always carried it so.
constexpr std::array<LayerEntry, 16> kLayers{{
    {kLayerZero, "     7"},
    {kLayerCommonPoints, "     7"},
    {kLayerCommonText, "     7"},
    {kLayerNewPoints, "     5"},
    {kLayerNewText, "     5"},
    {kLayerText, "     7"},
    {kLayerGrid, "     3"},
    {kLayerBoundary, "   10"},
    {kLayerDistortionText, "     5"},
    {kLayerZoneCells, "     5"},
    {kLayerDistortion, "     6"},
    {kLayerDistortionHelmert, "     1"},
    {kLayerDistortionRegression, "     5"},
    {kLayerExcluded, "     4"},
    {kLayerExcludedHelmert, "     1"},
    {kLayerExcludedRegression, "     5"},
}};

constexpr std::size_t kLayerNameLimit = 15;

// The layer of a distortion arrow; nullptr draws nothing.
const char* ArrowLayer(char letter, bool heightArrow)
{
    switch (letter) {
    case 'L': return kLayerDistortion;
    case 'R': return kLayerDistortionRegression;
    case 'H': return kLayerDistortionHelmert;
    case 'I': return heightArrow ? nullptr : kLayerExcludedHelmert;
    case 'J': return heightArrow ? nullptr : kLayerExcludedRegression;
    default: return nullptr;
    }
}

// An arrow of distortion d is drawn 0.75 / 0.5 times the scale per metre.
constexpr double kArrowFactor = 0.75 / 0.5;

} // namespace

double BearingGons(double dE, double dN)
{
    constexpr double pi = std::numbers::pi;
    if (std::fabs(dN) + std::fabs(dE) < 1e-10)
        throw FatalError(kCoincidentPointsMessage);
    double theta = 0.0;
    if (std::fabs(dN) < std::fabs(dE)) {
        theta = pi / 2.0 - std::atan(dN / dE);
        if (dE < 0.0)
            theta += pi;
    } else {
        theta = std::atan(dE / dN);
        if (dN < 0.0)
            theta += pi;
        else if (dE < 0.0)
            theta += 2.0 * pi;
    }
    return theta * 200.0 / pi;
}

Drawing::Drawing(const std::filesystem::path& path) : path_(path), file_(path)
{
    if (!file_.IsOpen())
        throw FatalError(kResultIoMessage);
}

void Drawing::Group(std::string_view code, std::string_view value)
{
    if (!open_)
        return;
    line_.assign(code).append("\r\n").append(value).append("\r\n");
    file_.Write(line_);
}

void Drawing::Number(std::string_view code, double value, int width, int decimals)
{
    Group(code, FormatFixed(value, width, decimals));
}

void Drawing::WriteDxfHead()
{
    Group("  0", "SECTION");
    Group("  2", "TABLES");
    Group("  0", "TABLE");
    Group("  2", "LAYER");
    // The count says 4 although every layer follows; readers take the entries as they come.
    Group(" 70", "     4");
    for (const LayerEntry& layer : kLayers) {
        Group("  0", "LAYER");
        Group("  2", layer.name);
        Group(" 70", "     0");
        Group(" 62", layer.colour);
        Group("  6", "CONTINUOUS");
    }
    Group("  0", "ENDTAB");
    Group("  0", "ENDSEC");
    Group("  0", "SECTION");
    Group("  2", "ENTITIES");
}

void Drawing::DxfPoint(std::string_view layer, double x, double y)
{
    Group("  0", "POINT");
    Group("  8", layer.substr(0, kLayerNameLimit));
    Number(" 10", x, 10, 3);
    Number(" 20", y, 10, 3);
    Group(" 30", "0");
}

void Drawing::DxfTarget(std::string_view layer, double x, double y, double r)
{
    for (const double radius : {r, r / 4.0, r * 2.0 / 4.0, r * 3.0 / 4.0}) {
        Group("  0", "CIRCLE");
        Group("  8", layer.substr(0, kLayerNameLimit));
        Number(" 10", x, 10, 3);
        Number(" 20", y, 10, 3);
        Group(" 30", "0");
        Number(" 40", radius, 10, 3);
    }
}

void Drawing::TextEntity(std::string_view text, double angle, std::string_view layer, double height, double x,
                         double y, int coordinateWidth)
{
    Group("  0", "TEXT");
    Group("  8", layer.substr(0, kLayerNameLimit));
    Number(" 10", x, coordinateWidth, 3);
    Number(" 20", y, coordinateWidth, 3);
    Group(" 30", "0");
    Number(" 40", height, 5, 2);
    Group("  1", text);
    Number(" 50", angle, 8, 4);
}

void Drawing::DxfText(std::string_view text, double angle, std::string_view layer, double height, double x, double y)
{
    TextEntity(text, angle, layer, height, x, y, 10);
}

void Drawing::DxfTextWide(std::string_view text, double angle, std::string_view layer, double height, double x,
                       double y)
{
    TextEntity(text, angle, layer, height, x, y, 12);
}

void Drawing::DxfLine(std::string_view layer, double x1, double y1, double x2, double y2)
{
    Group("  0", "LINE");
    Group("  8", layer.substr(0, kLayerNameLimit));
    Number(" 10", x1, 10, 3);
    Number(" 20", y1, 10, 3);
    Group(" 30", "0");
    Number(" 11", x2, 10, 3);
    Number(" 21", y2, 10, 3);
    Group(" 31", "0");
}

void Drawing::ArrowLines(std::string_view layer, double x, double y, double tipX, double tipY, double bearing)
{
    constexpr double pi = std::numbers::pi;
    const double length = std::hypot(tipX - x, tipY - y);
    const double barb = std::sqrt((length / 10.0) * (length / 10.0) + (length / 5.0) * (length / 5.0));
    const double beta1 = (bearing + 225.0) * pi / 200.0;
    const double beta2 = (bearing + 175.0) * pi / 200.0;
    DxfLine(layer, x, y, tipX, tipY);
    DxfLine(layer, tipX, tipY, tipX + barb * std::sin(beta1), tipY + barb * std::cos(beta1));
    DxfLine(layer, tipX, tipY, tipX + barb * std::sin(beta2), tipY + barb * std::cos(beta2));
}

void Drawing::DxfArrow(char letter, double scale, double dE, double dN, double x, double y)
{
    const char* layer = ArrowLayer(letter, false);
    if (layer == nullptr)
        return;
    // A vanishing component is drawn as a tiny positive one, so the bearing always exists.
    if (std::fabs(dE) < 1e-6)
        dE = 1e-6;
    if (std::fabs(dN) < 1e-6)
        dN = 1e-6;
    const double f = scale * kArrowFactor;
    ArrowLines(layer, x, y, x + f * dE, y + f * dN, BearingGons(dE, dN));
}

void Drawing::DxfHeightArrow(char letter, double scale, double dZ, double y, double x)
{
    const char* layer = ArrowLayer(letter, true);
    if (layer == nullptr || dZ == 0.0)
        return;
    // Straight up or straight down: taken from the sign, since a height distortion too small for
    // a bearing is still a distortion to draw.
    const double bearing = dZ > 0.0 ? 0.0 : 200.0;
    ArrowLines(layer, x, y, x, y + kArrowFactor * scale * dZ, bearing);
}

void Drawing::WriteDxfEnd()
{
    if (!open_)
        return;
    Group("  0", "ENDSEC");
    Group("  0", "EOF");
    open_ = false;
    if (!file_.Close())
        throw FatalError(kResultIoMessage);
}

} // namespace velmora
