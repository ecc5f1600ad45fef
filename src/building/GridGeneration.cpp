#include "building/GridGeneration.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/ResultWriter.h"
#include "files/SourceParsers.h"
#include "files/SourceScan.h"
#include "model/ModelParameters.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <string_view>
#include <system_error>

namespace velmora {

namespace {

static_assert(offsetof(PointRecord, modelWork3) + 3 * sizeof(double) == 280, "row and column of a node at 280, 284");

constexpr int kMinIntervals = 4;

void NameFilesAfterSource(BuildRun& run)
{
    const auto named = [&](const char* extension) {
        std::filesystem::path path = run.sourcePath;
        return path.replace_extension(extension);
    };
    run.parameterPath = named(".PAR");
    run.drawingPath = named(".DXF");
    run.gridTextPath = named(".GRT");
    run.nodeGridPath = named(".GRD");
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ignored;
    return a == b || std::filesystem::equivalent(a, b, ignored);
}

// The step creates the files named after the source and its work files before the source has
// been read to its end; a source that is one of them would be emptied under the reader.
void RefuseSourceAmongOutputs(const BuildRun& run)
{
    const std::filesystem::path outputs[] = {
        run.parameterPath,
        run.drawingPath,
        run.gridTextPath,
        run.nodeGridPath,
        run.WorkFile(kBuildPolygonName),
        run.WorkFile(kBuildExcludedPointsName),
        run.WorkFile(kBuildCommonPointsName),
        run.WorkFile(kBuildNewPointsName),
        run.workDir / kEllipsoidFileName,
        run.workDir / kPolygonPointsFileName,
        run.workDir / kOtherPointsFileName,
    };
    for (const std::filesystem::path& output : outputs) {
        if (SameFile(run.sourcePath, output))
            throw FatalError(kSourceWouldBeOverwrittenMessage + run.sourcePath.string()
                             + kSourceWouldBeOverwrittenEnd);
    }
}

// Record 0 becomes zeros (no model, no regression); later records stay as they are. A file that
// is not a whole number of records holds no parameters to keep and is made anew.
void ResetParameterFile(const std::filesystem::path& path)
{
    using ParameterFile = RecordFile<ModelParameterRecord>;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    const bool keep = !error && size % sizeof(ModelParameterRecord) == 0;
    ParameterFile file = keep ? ParameterFile::OpenForUpdate(path) : ParameterFile::Create(path);
    ModelParameterRecord zero;
    std::memset(&zero, 0, sizeof zero);
    file.Write(0, zero);
    file.Close();
}

void CopyHeaderLines(TextReader& source, TextWriter& gridText)
{
    std::string line;
    for (int i = 0; i < 4; ++i) {
        source.ReadLine(line);
        gridText.Write(line.append("\r\n"));
    }
}

// The number of the line the next ReadLine returns, or of the missing line after the last one.
std::size_t NextLineNumber(const TextReader& source)
{
    return source.LineNumber() + 1;
}

void ExpectIdentifier(TextReader& source, std::string_view identifier, const char* message)
{
    std::string line;
    const std::size_t number = NextLineNumber(source);
    source.ReadLine(line);
    if (FirstField(line) != identifier)
        throw SourceLineError(message, number);
}

// The next number of a line: skip to a number character, take the run of number characters.
bool NextNumber(LineScanner& scan, double& value, LineScanner::Run& run)
{
    run = scan.NumberRun();
    return ParseDecimal(run.text, value);
}

void SetScale(BuildRun& run, double number)
{
    run.scale = std::nearbyint(number);
    run.labelHeight = run.scale * 0.5 / 200.0;
    run.targetRadius = run.scale * 0.2 / 200.0;
}

// The first field of a contour line: from the first character in 32..126 up to a comma or a
// character outside that range (consumed). pos is left after it.
std::string_view ContourField(std::string_view line, std::size_t& pos)
{
    const auto printable = [](char c) { return c >= ' ' && c <= '~'; };
    while (pos < line.size() && !printable(line[pos]))
        ++pos;
    const std::size_t begin = pos;
    while (pos < line.size() && printable(line[pos]) && line[pos] != ',')
        ++pos;
    const std::string_view field = line.substr(begin, pos - begin);
    if (pos < line.size())
        ++pos;
    return field;
}

// Whole intervals from min to max; a fraction beyond the tolerance adds one and moves max there.
double WholeIntervals(double min, double& max, double d, double tolerance)
{
    const double q = (max - min) / d;
    double n = std::trunc(q);
    if (q - n > tolerance) {
        n += 1.0;
        max = min + n * d;
    }
    return n;
}

// The two neighbours of a node along one direction: pos of last along it, stride between them.
std::array<std::int32_t, 2> NeighbourPair(std::int32_t k, int pos, int last, std::int32_t stride)
{
    if (pos == 0)
        return {k + 2 * stride, k + stride};
    if (pos == last)
        return {k - stride, k - 2 * stride};
    return {k - stride, k + stride};
}

void WriteNodeGrid(const std::filesystem::path& path, const GridFrame& grid)
{
    PointFile file = PointFile::Create(path);
    const std::int32_t columns = grid.nE + 1;
    for (int r = 0; r <= grid.nN; ++r) {
        for (int c = 0; c <= grid.nE; ++c) {
            const std::int32_t k = columns * r + c;
            PointRecord node;
            std::memset(&node, 0, sizeof node);
            node.pointState = 'E';
            node.sys1[0] = grid.East(c);
            node.sys1[1] = grid.North(r);
            SetNodePlace(node, {r, c});
            const auto alongRow = NeighbourPair(k, c, grid.nE, 1);
            const auto alongColumn = NeighbourPair(k, r, grid.nN, columns);
            node.nodeIndex = {alongRow[0], alongRow[1], alongColumn[0], alongColumn[1]};
            file.Append(node);
        }
    }
    file.Close();
}

void DrawBoundary(Drawing& drawing, const std::vector<PlanePoint>& polygon)
{
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        drawing.DxfPoint(kLayerZero, polygon[i].east, polygon[i].north);
        if (i > 0)
            drawing.DxfLine(kLayerBoundary, polygon[i - 1].east, polygon[i - 1].north, polygon[i].east,
                            polygon[i].north);
    }
    if (!polygon.empty())
        drawing.DxfLine(kLayerBoundary, polygon.back().east, polygon.back().north, polygon.front().east,
                        polygon.front().north);
}

std::uint64_t RecordCount(const std::filesystem::path& path)
{
    return PointFile::OpenForUpdate(path).Size();
}

// The point part of the source into PCOMUNE.REC, PNOI.REC and RAR.REC. The parser's own
// messages are the ones shown; a failure without one gets the step's general message.
void ReadPoints(BuildRun& run, TextReader& source, PointFile& excluded)
{
    const SourceTargets targets{run.WorkFile(kBuildNewPointsName), run.WorkFile(kBuildCommonPointsName), &excluded};
    try {
        ParseCommonNewPoints(source, run.kind, targets, run.ellipsoids);
    } catch (const FatalError&) {
        throw;
    } catch (const std::exception&) {
        throw FatalError(kPointsGenerationMessage);
    }
    excluded.Close();
    if (RecordCount(targets.newPoints) == 0)
        throw FatalError("Eroare: nu aveti puncte noi de transformat in fis. sursa!");
    if (RecordCount(targets.commonPoints) == 0)
        throw FatalError("Eroare: nu aveti puncte comune in fis. sursa!");
}

// Point and target at the target-system position, the name beside it.
void DrawKnownPoints(BuildRun& run, const std::filesystem::path& path, const char* pointLayer,
                     const char* textLayer)
{
    Drawing& drawing = *run.drawing;
    PointFile file = PointFile::OpenForUpdate(path);
    for (std::uint64_t k = 0; k < file.Size(); ++k) {
        const PointRecord point = file.Read(k);
        const double x = point.sys2[0];
        const double y = point.sys2[1];
        drawing.DxfPoint(pointLayer, x, y);
        drawing.DxfTarget(pointLayer, x, y, run.targetRadius);
        drawing.DxfText(point.name.View(), 0.0, textLayer, run.labelHeight, x + run.labelHeight, y);
    }
}

} // namespace

double ReadScale(TextReader& source)
{
    std::string line;
    const std::size_t number = NextLineNumber(source);
    source.ReadLine(line);
    LineScanner scan(line);
    double value = 0.0;
    LineScanner::Run run{};
    if (!NextNumber(scan, value, run))
        throw SourceLineError("Sirul " + std::string(run.text) + " nu este valoare numerica!", number);
    return value;
}

double ReadGridStep(TextReader& source)
{
    std::string line;
    const std::size_t number = NextLineNumber(source);
    source.ReadLine(line);
    LineScanner scan(line);
    double d = 0.0;
    double unused = 0.0;
    LineScanner::Run run{};
    if (!NextNumber(scan, d, run))
        throw SourceLineError("Eroare: valoare pas1 nenumerica in fis. sursa.", number);
    if (!NextNumber(scan, unused, run))
        throw SourceLineError("Eroare: valoare pas2 nenumerica in fis. sursa.", number);
    return d;
}

// The vertex name is the field as written: blanks kept, letters as they are.
void ReadContour(TextReader& source, ContourFile& polygon)
{
    std::string line;
    std::uint64_t vertices = 0;
    while (source.ReadLine(line)) {
        if (line.empty())
            throw SourceLineError("Eroare: rand gol in fisierul sursa.", source.LineNumber());
        std::size_t pos = 0;
        const std::string_view field = ContourField(line, pos);
        const std::string key = FirstField(field);
        if (key == "END" || key == "ENDF") {
            if (vertices == 0)
                throw SourceLineError(
                    "Eroare: nu sunt puncte pe conturul zonei (dupa id. C) pentru stab. limite grid.",
                    source.LineNumber());
            return;
        }
        LineScanner scan(std::string_view(line).substr(pos));
        ContourVertex vertex;
        std::memset(&vertex, 0, sizeof vertex);
        LineScanner::Run run{};
        if (!NextNumber(scan, vertex.east, run) || run.reachedEnd || !NextNumber(scan, vertex.north, run))
            throw SourceLineError("Lipseste coordonata y la un punct care descrie poligonul initial.",
                                  source.LineNumber());
        vertex.name.Assign(field);
        polygon.Append(vertex);
        ++vertices;
    }
}

double GridTolerance(char transformationCode)
{
    return transformationCode == kPlaneWithoutRegressionCode ? 0.0001 : 1e-9;
}

// The interval and a flat extent are checked first: either would make the halving go on forever.
// The maxima moved by one pass stay moved for the next.
GridFrame FitGrid(const Extent& extent, double d, double tolerance)
{
    if (!(d > 0.0))
        throw FatalError(kGridStepNotPositiveMessage);
    if (!(extent.maxE > extent.minE) || !(extent.maxN > extent.minN))
        throw FatalError(kContourFlatMessage);
    double maxE = extent.maxE;
    double maxN = extent.maxN;
    double nE = 0.0;
    double nN = 0.0;
    while (true) {
        nE = WholeIntervals(extent.minE, maxE, d, tolerance);
        nN = WholeIntervals(extent.minN, maxN, d, tolerance);
        if (nE >= kMinIntervals && nN >= kMinIntervals)
            break;
        d /= 2.0;
    }
    // Counted in doubles: a tiny interval gives counts beyond any integer type.
    if (!((nN + 3.0) * (nE + 3.0) <= kGridSizeLimit))
        throw FatalError(kGridTooFineMessage);
    GridFrame grid;
    grid.minE = extent.minE;
    grid.minN = extent.minN;
    grid.step = d;
    grid.nE = static_cast<int>(nE);
    grid.nN = static_cast<int>(nN);
    grid.maxE = grid.East(grid.nE);
    grid.maxN = grid.North(grid.nN);
    return grid;
}

GridFrame SetUpGridNodes(const Extent& extent, double d, double tolerance, const std::filesystem::path& nodeGridPath)
{
    const GridFrame grid = FitGrid(extent, d, tolerance);
    WriteNodeGrid(nodeGridPath, grid);
    return grid;
}

NodePlace NodePlaceOf(const PointRecord& node)
{
    std::array<std::int32_t, 2> place{};
    std::memcpy(place.data(), &node.modelWork3[3], sizeof place);
    return {place[0], place[1]};
}

void SetNodePlace(PointRecord& node, NodePlace place)
{
    const std::array<std::int32_t, 2> bytes{place.row, place.column};
    std::memcpy(&node.modelWork3[3], bytes.data(), sizeof bytes);
}

// Labels are the coordinate without decimals in 6 characters: East ones turned 90 degrees at
// both ends of their line, North ones level at both ends of theirs. The last line of each
// direction is the frame's, so only its labels are drawn.
void DrawGridFrame(Drawing& drawing, const GridFrame& grid, double labelHeight)
{
    const auto line = [&](double x1, double y1, double x2, double y2) { drawing.DxfLine(kLayerGrid, x1, y1, x2, y2); };
    const auto label = [&](double value, double angle, double x, double y) {
        drawing.DxfText(FormatFixed(value, 6, 0), angle, kLayerZero, labelHeight, x, y);
    };
    const double minE = grid.minE;
    const double minN = grid.minN;
    const double maxE = grid.maxE;
    const double maxN = grid.maxN;
    line(minE, minN, minE, maxN);
    line(minE, maxN, maxE, maxN);
    line(maxE, maxN, maxE, minN);
    line(maxE, minN, minE, minN);

    label(minE, 90.0, minE, minN);
    label(minE, 90.0, minE, maxN);
    for (int c = 1; c <= grid.nE; ++c) {
        const double e = grid.East(c);
        if (c < grid.nE)
            line(e, minN, e, maxN);
        label(e, 90.0, e, minN);
        label(e, 90.0, e, maxN);
    }
    label(minN, 0.0, minE, minN);
    label(minN, 0.0, maxE, minN);
    for (int r = 1; r <= grid.nN; ++r) {
        const double n = grid.North(r);
        if (r < grid.nN)
            line(minE, n, maxE, n);
        label(n, 0.0, minE, n);
        label(n, 0.0, maxE, n);
    }

    // North arrow above the grid, one interval high, and the letter N beside its foot.
    const double u = grid.step / 14.0;
    const double h = (minE + maxE) / 2.0;
    line(h, maxN, h, maxN + 14.0 * u);
    line(h, maxN + 14.0 * u, h - 2.0 * u, maxN + 11.0 * u);
    line(h, maxN + 14.0 * u, h + 2.0 * u, maxN + 11.0 * u);
    line(h - 4.0 * u, maxN + 2.0 * u, h - 4.0 * u, maxN + 9.0 * u);
    line(h + 4.0 * u, maxN + 2.0 * u, h + 4.0 * u, maxN + 9.0 * u);
    line(h - 4.0 * u, maxN + 9.0 * u, h + 4.0 * u, maxN + 2.0 * u);
}

std::string GridTextHeader(const GridFrame& grid, bool geographic)
{
    struct Labels {
        const char* minE;
        const char* maxE;
        const char* minN;
        const char* maxN;
        const char* stepE;
        const char* stepN;
        const char* dimension;
        const char* dimensionValue;
        const char* values;
    };
    static constexpr Labels kPlane{
        "Minimum East (minE):", "Maximum East (maxE):", "Minimum North (minN):", "Maximum North (maxN):",
        "East grid interval (stepE):", "North grid interval (stepN):",
        "Number of dimensions (2 for dEast and dNorth - grid shift values):", "2",
        "Grid shift values (dEast dNorth) (columns: minE-->maxE; rows: minN-->maxN):"};
    static constexpr Labels kGeographic{
        "Minimum longitude (minLa):", "Maximum longitude (maxLa):", "Minimum latitude (minPhi):",
        "Maximum latitude (maxPhi):", "Longitude grid interval (stepLa):", "Latitude grid interval (stepPhi):",
        "Number of dimensions (1 for dZita - grid shift value):", "1",
        "Grid shift values (dZita) (columns: minLa-->maxLa; rows: minPhi-->maxPhi):"};
    const Labels& labels = geographic ? kGeographic : kPlane;
    const int width = geographic ? 12 : 11;
    const int decimals = geographic ? 9 : 3;

    std::string text;
    const auto line = [&](std::string_view s) { text.append(s).append("\r\n"); };
    const auto value = [&](const char* label, double v) {
        line(label);
        line(FormatFixed(v, width, decimals));
    };
    value(labels.minE, grid.minE);
    value(labels.maxE, grid.maxE);
    value(labels.minN, grid.minN);
    value(labels.maxN, grid.maxN);
    value(labels.stepE, grid.step);
    value(labels.stepN, grid.step);
    line("Number of grid shift values (rows x columns):");
    line(std::to_string(grid.NodeCount()));
    line(labels.dimension);
    line(labels.dimensionValue);
    line(labels.values);
    return text;
}

void GenerateGrid(BuildRun& run)
{
    TextReader source(run.sourcePath);
    if (!source.IsOpen())
        throw FatalError(kSourceInvalidMessage);
    NameFilesAfterSource(run);
    RefuseSourceAmongOutputs(run);
    ResetParameterFile(run.parameterPath);
    run.drawing.emplace(run.drawingPath);
    const std::filesystem::path polygonPath = run.WorkFile(kBuildPolygonName);
    ContourFile polygon = ContourFile::Create(polygonPath);
    PointFile excluded = PointFile::Create(run.WorkFile(kBuildExcludedPointsName));
    run.drawing->WriteDxfHead();
    TextWriter gridText(run.gridTextPath);
    if (!gridText.IsOpen())
        throw FatalError(kResultIoMessage);
    CopyHeaderLines(source, gridText);

    ExpectIdentifier(source, "SC", "Identificator <> SC in fis. sursa.");
    SetScale(run, ReadScale(source));
    ExpectIdentifier(source, "PAS", "Identificator <> PAS in fis. sursa.");
    const double d = ReadGridStep(source);
    ExpectIdentifier(source, "C", "Identificator <> C in fis. sursa.");
    ReadContour(source, polygon);
    polygon.Close();
    const Extent extent = PrepareBoundaryPolygon(polygonPath);

    run.grid = SetUpGridNodes(extent, d, GridTolerance(run.transformationCode), run.nodeGridPath);
    DrawGridFrame(*run.drawing, run.grid, run.labelHeight);
    DrawBoundary(*run.drawing, LoadBoundaryPolygon(polygonPath));

    ReadPoints(run, source, excluded);
    DrawKnownPoints(run, run.WorkFile(kBuildCommonPointsName), kLayerCommonPoints, kLayerCommonText);
    DrawKnownPoints(run, run.WorkFile(kBuildExcludedPointsName), kLayerExcluded, kLayerExcluded);

    gridText.Write(GridTextHeader(run.grid, run.transformationCode == kQuasigeoidCode));
    if (!gridText.Close())
        throw FatalError(kResultIoMessage);
}

} // namespace velmora
