#include "commands/ConversionCommands.h"

#include "building/Quasigeoid.h"
#include "commands/FileSelection.h"
#include "commands/ModelBuildingCommands.h"
#include "commands/Ui.h"
#include "commands/WorkFolder.h"
#include "core/Geodesy.h"
#include "core/Stereo70.h"
#include "core/TMzn_EVRF2007.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/SourceParsers.h"
#include "files/TextFile.h"
#include "model/NodeGrid.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <cmath>
#include <string>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLineEnd = "\r\n";

constexpr std::array<ConversionCommand, 8> kCommands{{
    {ConversionKind::GeodeticToCartesian, "blh-xyz", 21, 'G', true, "REZXYZ.TXT"},
    {ConversionKind::CartesianToGeodetic, "xyz-blh", 22, 'G', false, "REZBLH.TXT"},
    {ConversionKind::GeodeticToStereo70, "bl-stereo70", 23, 'P', true, "REZXY_ST70.TXT"},
    {ConversionKind::Stereo70ToGeodetic, "stereo70-bl", 24, 'P', false, "REZBL_ST70.TXT"},
    {ConversionKind::GeodeticToLaea, "bl-laea", 25, 'P', true, "REZXY_LAEA.TXT"},
    {ConversionKind::LaeaToGeodetic, "laea-bl", 26, 'P', false, "REZBL_LAEA.TXT"},
    {ConversionKind::DmsToDegrees, "dms-deg", 27, 'G', true, "REZBLh_gms_g.TXT"},
    {ConversionKind::NormalHeightToCartesian, "blh-xyzn", 28, 'G', true, "REZXYZ.TXT"},
}};

// A value that is not a number (an ellipsoid line without a usable axis or flattening, a
// coordinate beyond the projection's reach) ends the conversion instead of reaching the file.
void CheckFinite(double value)
{
    if (!std::isfinite(value))
        throw FatalError(kNonFiniteConversionMessage);
}

void AppendValue(std::string& line, double value, int width, int decimals)
{
    CheckFinite(value);
    line.push_back(',');
    AppendFixed(line, value, width, decimals);
}

void AppendAngle(std::string& line, double radians)
{
    CheckFinite(radians);
    line.push_back(',');
    AppendAngleText(line, RadToDeg(radians) * 3600.0, AngleForm::Blanks);
}

// The conversions of one system on its ellipsoid, their constants derived once.
struct SystemConverter {
    Ellipsoid ellipsoid;
    StereoProjection stereo70;
    ConversorLAEA laea;

    explicit SystemConverter(const Ellipsoid& e) : ellipsoid(e), stereo70(e), laea(e) {}
};

// One system's converted values, each after a comma. v holds the system as parsed: B and L in
// radians for a geodetic source, otherwise the plane or cartesian values; the height (or Z) in
// v[2] for the three-dimensional kind.
void AppendSystem(std::string& line, ConversionKind kind, const SystemConverter& converter,
                  const std::array<double, 3>& v)
{
    switch (kind) {
    case ConversionKind::GeodeticToCartesian:
    case ConversionKind::NormalHeightToCartesian: {
        const Cartesian c = GeodeticToCartesian(converter.ellipsoid, v[0], v[1], v[2]);
        AppendValue(line, c.X, 12, 4);
        AppendValue(line, c.Y, 12, 4);
        AppendValue(line, c.Z, 12, 4);
        return;
    }
    case ConversionKind::CartesianToGeodetic: {
        const Geodetic g = CartesianToGeodetic(converter.ellipsoid, v[0], v[1], v[2]);
        AppendAngle(line, g.phi);
        AppendAngle(line, g.lambda);
        AppendValue(line, g.h, 9, 5);
        return;
    }
    case ConversionKind::GeodeticToStereo70: {
        const NorthEast p = converter.stereo70.Forward(v[0], v[1]);
        AppendValue(line, p.E, 12, 3);
        AppendValue(line, p.N, 12, 3);
        return;
    }
    case ConversionKind::Stereo70ToGeodetic: {
        const LatLon g = converter.stereo70.Inverse(v[0], v[1]);
        AppendAngle(line, g.phi);
        AppendAngle(line, g.lambda);
        return;
    }
    case ConversionKind::GeodeticToLaea: {
        const PlanePair p = converter.laea.BLtoXY(v[0], v[1]);
        AppendValue(line, p.first, 12, 4);
        AppendValue(line, p.second, 12, 4);
        return;
    }
    case ConversionKind::LaeaToGeodetic: {
        const LatLon g = converter.laea.XYtoBL(v[0], v[1]);
        AppendAngle(line, g.phi);
        AppendAngle(line, g.lambda);
        return;
    }
    case ConversionKind::DmsToDegrees:
        AppendValue(line, RadToDeg(v[0]), 14, 10);
        AppendValue(line, RadToDeg(v[1]), 14, 10);
        AppendValue(line, v[2], 9, 4);
        return;
    }
}

// The result file under construction; every line ends with CR LF except "ENDF" when no extra
// line follows it.
class ConversionWriter {
public:
    explicit ConversionWriter(const fs::path& path) : file_(path)
    {
        if (!file_.IsOpen())
            throw FatalError(kResultIoMessage);
    }

    void Line(std::string_view text)
    {
        file_.Write(text);
        file_.Write(kLineEnd);
    }

    void EndOfData(bool extraLinesFollow)
    {
        file_.Write("ENDF");
        if (extraLinesFollow)
            file_.Write(kLineEnd);
    }

    void Close()
    {
        if (!file_.Close())
            throw FatalError(kResultIoMessage);
    }

private:
    TextWriter file_;
};

std::string EllipsoidLine(const EllipsoidPair& pair, int axisDecimals)
{
    std::string line;
    AppendFixed(line, pair.a1, 7, axisDecimals);
    AppendValue(line, pair.invF1, 13, 9);
    AppendValue(line, pair.a2, 7, axisDecimals);
    AppendValue(line, pair.invF2, 13, 9);
    return line;
}

bool IsForwardPlaneProjection(ConversionKind kind)
{
    return kind == ConversionKind::GeodeticToStereo70 || kind == ConversionKind::GeodeticToLaea;
}

// When the work file holds points: the head lines, one line per point and "END"; otherwise
// nothing, and false.
template <class LineOf>
bool WritePointBlock(ConversionWriter& result, const fs::path& pointsPath, std::initializer_list<std::string_view> head,
                     LineOf lineOf)
{
    PointFile points = PointFile::OpenForUpdate(pointsPath);
    if (points.Size() == 0)
        return false;
    for (const std::string_view line : head)
        result.Line(line);
    std::string line;
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        line.clear();
        lineOf(line, points.Read(k));
        result.Line(line);
    }
    result.Line("END");
    return true;
}

// The "PC" section (with second, the second system's converter) or the "PN" section: the
// converted values of the point's systems.
bool WriteSection(ConversionWriter& result, const char* identifier, const fs::path& pointsPath,
                  ConversionKind kind, const SystemConverter& first, const SystemConverter* second)
{
    return WritePointBlock(result, pointsPath, {identifier}, [&](std::string& line, const PointRecord& point) {
        line.append(point.name.View());
        AppendSystem(line, kind, first, point.sys1);
        if (second != nullptr)
            AppendSystem(line, kind, *second, point.sys2);
    });
}

// The listing of B and L in decimal degrees for the external quasigeoid program: the name cut to
// 9 characters and right-aligned in 9, then B and L 9:6 after a blank each.
void WriteDegreeListing(ConversionWriter& result, const char* identifier, const fs::path& pointsPath)
{
    WritePointBlock(result, pointsPath, {identifier}, [](std::string& line, const PointRecord& point) {
        const std::string_view name = point.name.View().substr(0, 9);
        line.append(9 - name.size(), ' ').append(name).push_back(' ');
        AppendFixed(line, RadToDeg(point.sys1[0]), 9, 6);
        line.push_back(' ');
        AppendFixed(line, RadToDeg(point.sys1[1]), 9, 6);
    });
}

// The height report of the normal-height conversion: B, L, zeta and h - zeta of every point, and
// for a common point also its given normal height and the difference h - zeta - Hn.
void WriteHeightReport(ConversionWriter& result, const fs::path& pointsPath, bool common)
{
    const std::string_view title = common ? "PUNCTE COMUNE:" : "PUNCTE NOI:";
    const std::string_view columns = common
                                         ? "Cod pct.    B        L            zita      (h-zita)      Hn_MN        dHn"
                                         : "Cod pct.    B        L            zita      (h-zita)";
    WritePointBlock(result, pointsPath, {"", title, columns}, [common](std::string& line, const PointRecord& point) {
        line.append(point.name.View());
        AppendValue(line, RadToDeg(point.sys1[0]), 10, 6);
        AppendValue(line, RadToDeg(point.sys1[1]), 10, 6);
        AppendValue(line, point.modelWork1[2], 12, 4);
        AppendValue(line, point.sys1[2], 12, 4);
        if (common) {
            AppendValue(line, point.sys2[2], 12, 4);
            AppendValue(line, point.sys1[2] - point.sys2[2], 12, 4);
        }
    });
}

// Whether lines follow "ENDF": the fixed ones of the forward projections and of the listing, the
// height report when there is a point to report.
bool HasExtraLines(ConversionKind kind, bool anySection)
{
    switch (kind) {
    case ConversionKind::GeodeticToStereo70:
    case ConversionKind::GeodeticToLaea:
    case ConversionKind::DmsToDegrees:
        return true;
    case ConversionKind::NormalHeightToCartesian:
        return anySection;
    default:
        return false;
    }
}

void WriteExtraLines(ConversionWriter& result, ConversionKind kind, const SourceTargets& targets)
{
    switch (kind) {
    case ConversionKind::GeodeticToStereo70:
        result.Line("ATENTIE: COORDONATELE REZULTATE SUNT \"Est\" si \"Nord\" (S-a inversat X cu Y pentru Stereo 70)!");
        break;
    case ConversionKind::GeodeticToLaea:
        result.Line("ATENTIE: COORDONATELE REZULTATE SUNT \"Est\" si \"Nord\"!");
        break;
    case ConversionKind::DmsToDegrees:
        result.Line("");
        result.Line("Cod B L (L B ?) cu format pentru EGGPRO.exe");
        result.Line("===========================================");
        WriteDegreeListing(result, "PC", targets.commonPoints);
        WriteDegreeListing(result, "PN", targets.newPoints);
        break;
    case ConversionKind::NormalHeightToCartesian:
        WriteHeightReport(result, targets.commonPoints, true);
        WriteHeightReport(result, targets.newPoints, false);
        break;
    default:
        break;
    }
}

// The four free lines that head the source; a missing line reads as empty.
std::array<std::string, 4> ReadHeaderLines(const fs::path& sourcePath)
{
    TextReader source(sourcePath);
    if (!source.IsOpen())
        throw FatalError(kSourceIoMessage);
    std::array<std::string, 4> header;
    for (std::string& line : header)
        source.ReadLine(line);
    return header;
}

void RemoveIfPresent(const fs::path& path)
{
    std::error_code ec;
    fs::remove(path, ec);
}

} // namespace

std::span<const ConversionCommand> ConversionCommands()
{
    return kCommands;
}

const ConversionCommand* FindConversionCommand(std::string_view name)
{
    for (const ConversionCommand& command : kCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

const ConversionCommand& ConversionCommandOf(ConversionKind kind)
{
    for (const ConversionCommand& command : kCommands)
        if (command.kind == kind)
            return command;
    throw std::logic_error("a conversion without its command");
}

ConversionOutcome ConvertFile(const ConversionCommand& command, const fs::path& sourcePath, const fs::path& workDir,
                              const fs::path& startDir)
{
    const SourceTargets targets = WorkFileTargets(workDir);
    EllipsoidPair ellipsoids{};
    // Every common point is converted, also those the model-building commands would set aside.
    SourceTargets parseTargets = targets;
    parseTargets.keepMarkedCommonPoints = true;
    const bool opened = command.geodeticSource
                            ? LoadGeodeticSource(command.code, command.pointKind, sourcePath, parseTargets, ellipsoids)
                            : LoadPlaneSource(command.code, command.pointKind, sourcePath, parseTargets, ellipsoids);
    if (!opened)
        throw FatalError(std::string(kSourceInvalidMessage) + "\n" + kSourceIoMessage);

    if (command.kind == ConversionKind::NormalHeightToCartesian) {
        const NodeGrid grid = NodeGrid::Load(startDir / kNormalHeightGridName);
        SubtractQuasigeoidHeights(grid, targets.commonPoints);
        SubtractQuasigeoidHeights(grid, targets.newPoints);
    }

    ConversionOutcome outcome;
    outcome.resultPath = workDir / command.resultName;
    ConversionWriter result(outcome.resultPath);
    for (const std::string& line : ReadHeaderLines(sourcePath))
        result.Line(line);
    result.Line(std::string(1, command.pointKind));
    result.Line(EllipsoidLine(ellipsoids, IsForwardPlaneProjection(command.kind) ? 3 : 0));
    const SystemConverter system1({ellipsoids.a1, ellipsoids.invF1});
    const SystemConverter system2({ellipsoids.a2, ellipsoids.invF2});
    const bool commonSection = WriteSection(result, "PC", targets.commonPoints, command.kind, system1, &system2);
    const bool newSection = WriteSection(result, "PN", targets.newPoints, command.kind, system1, nullptr);
    outcome.anySection = commonSection || newSection;
    const bool extraLines = HasExtraLines(command.kind, outcome.anySection);
    result.EndOfData(extraLines);
    if (extraLines)
        WriteExtraLines(result, command.kind, targets);
    result.Close();

    for (const fs::path& path : {targets.commonPoints, targets.newPoints})
        RemoveIfPresent(path);
    RemoveLeftoverWorkFiles(workDir);
    return outcome;
}

std::string ConversionMessage(const ConversionOutcome& outcome)
{
    return "Rezultatul conversiei se gasesc in fis. " + outcome.resultPath.filename().string();
}

void RunConversion(CommandContext& ctx, Ui& ui, const fs::path& workDir, const ConversionCommand& command)
{
    ctx.transformationCode = command.code;
    ctx.workDir = workDir;
    const std::optional<fs::path> source = ui.SelectSourceFile();
    if (!source)
        return;
    if (SourceWouldBeWritten(*source, workDir, {workDir / command.resultName})) {
        ui.RefuseSelection(kMessageSameFile);
        return;
    }
    const WorkFolderLock lock(workDir, ui);
    const ConversionOutcome outcome = ConvertFile(command, *source, workDir, ctx.startDir);
    if (outcome.anySection)
        ui.ShowMessageBox(ConversionMessage(outcome), kInformationCaption, MessageIcon::Information);
}

} // namespace velmora
