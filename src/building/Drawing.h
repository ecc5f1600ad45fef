// The drawing of a model-building run: one DXF text file with a fixed layer table, written from
// the grid generation to the end of the model application. Every step appends its entities in the
// order it runs: points, targets (four concentric circles), texts, lines and distortion arrows.
// Coordinates are (East, North) as the drawing's (X, Y); Z is always 0. Numbers are fixed-point
// right-aligned in a width (10:3 for coordinates), wider when the number needs it; lines end in
// CR LF like every text file of the program.
#pragma once

#include "files/TextFile.h"
#include "model/ReportDrawing.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kLayerZero = "0";
inline constexpr const char* kLayerCommonPoints = "PUNCTE_COMUNE";
inline constexpr const char* kLayerCommonText = "TEXTCOMUNE";
inline constexpr const char* kLayerNewPoints = "PUNCTE_NOI";
inline constexpr const char* kLayerNewText = "TEXTNOI";
inline constexpr const char* kLayerText = "TEXT";
inline constexpr const char* kLayerGrid = "GRID";
inline constexpr const char* kLayerBoundary = "PARCELA";
inline constexpr const char* kLayerDistortionText = "DIST_TXT";
inline constexpr const char* kLayerZoneCells = "DISTCELL";
inline constexpr const char* kLayerDistortion = "DISTORSIUNI";
inline constexpr const char* kLayerDistortionHelmert = "DISTORSIUNIH";
inline constexpr const char* kLayerDistortionRegression = "DISTORSIUNIR";
inline constexpr const char* kLayerExcluded = "RARITE";
inline constexpr const char* kLayerExcludedHelmert = "RARITEH";
inline constexpr const char* kLayerExcludedRegression = "RARITER";

inline constexpr const char* kCoincidentPointsMessage = "Eroare teta: dx=dy=0, => puncte confundate!";

// Direction angle of (dE, dN) in gons, in [0, 400): 0 is North, 100 East. A zero vector is a
// FatalError with kCoincidentPointsMessage.
double BearingGons(double dE, double dN);

class Drawing : public ReportDrawing {
public:
    // Creates the file (replacing an existing one); nothing is written yet. FatalError with the
    // result file's I/O message when it cannot be created.
    explicit Drawing(const std::filesystem::path& path);

    const std::filesystem::path& Path() const { return path_; }
    bool IsOpen() const { return open_; }

    // The section and layer table head, then the start of the entities section.
    void WriteDxfHead();
    void DxfPoint(std::string_view layer, double x, double y);
    // Four circles of radius r, r/4, r*2/4 and r*3/4.
    void DxfTarget(std::string_view layer, double x, double y, double r);
    // angle in degrees; coordinates 10:3.
    void DxfText(std::string_view text, double angle, std::string_view layer, double height, double x, double y);
    // As DxfText, with the coordinates 12:3.
    void DxfTextWide(std::string_view text, double angle, std::string_view layer, double height, double x, double y);
    void DxfLine(std::string_view layer, double x1, double y1, double x2, double y2);
    // A distortion arrow from (x, y), drawn 1.5 * scale times the distortion long. The letter
    // picks the layer: 'L' DISTORSIUNI, 'R' DISTORSIUNIR, 'H' DISTORSIUNIH, 'I' RARITEH,
    // 'J' RARITER; any other letter draws nothing.
    void DxfArrow(char letter, double scale, double dE, double dN, double x, double y) override;
    // A vertical arrow of a height distortion dZ ('L', 'R', 'H' only); nothing for dZ = 0.
    void DxfHeightArrow(char letter, double scale, double dZ, double y, double x);
    // Ends the entities section and the file and closes it; later calls write nothing.
    void WriteDxfEnd() override;

private:
    void Group(std::string_view code, std::string_view value);
    void Number(std::string_view code, double value, int width, int decimals);
    void TextEntity(std::string_view text, double angle, std::string_view layer, double height, double x, double y,
                    int coordinateWidth);
    void ArrowLines(std::string_view layer, double x, double y, double tipX, double tipY, double bearing);

    std::filesystem::path path_;
    TextWriter file_;
    bool open_ = true;
    std::string line_;
};

} // namespace velmora
