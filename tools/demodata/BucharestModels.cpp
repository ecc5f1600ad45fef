// The two Bucharest distortion models of the demonstration set, Stereo30 -> Stereo70 and
// Stereo70 -> Stereo30, built the way a user of the program builds a model.
//
// For each model the generator writes a model-building source into the output directory
// (Stereo30_Stereo70_2D.txt, Stereo70_Stereo30_2D.txt): a contour around Bucharest in the target
// system, widened by two starred vertices so that the grid reaches a little beyond the zone; the
// grid interval; a few hundred common points whose two systems come from the program's own route
// between them (transformation types 5 and 6, through ETRS89 on the correction grids of the
// output directory), written to the millimetre as a surveyor would; a few validation points set
// aside with "*"; and the places of Bucharest as new points. It then runs
// `velmora-cli build-model plane-regression` on a copy of the source in a scratch directory and
// ships the node grid and the parameter file under the names the commands of codes 5 and 6 read.
// The reports, the grid text and the binary grid of the first model go to
// models/Stereo30_Stereo70_2D/, where a user can open them.
//
// The finished model is held against the route: the command of its code runs on three points in
// every cell of the zone, and the generator refuses a model that parts from the route by a
// centimetre or more anywhere there.

#include "GrdWriter.h"
#include "Places.h"
#include "Products.h"
#include "Route.h"
#include "Scratch.h"

#include "cli/Cli.h"
#include "cli/CliUi.h"
#include "commands/ModelBuildingCommands.h"
#include "core/Geodesy.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "model/ModelParameters.h"
#include "model/NodeGrid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::demodata {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLineEnd = "\r\n";
// The folder of the other outputs of a model-building run that ships them, one folder per model.
constexpr const char* kModelsDir = "models";

struct LonLat {
    double L;
    double B;
};

// The model zone around Bucharest, ETRS89 decimal degrees; it lies inside the Bucharest box.
constexpr std::array<LonLat, 10> kZone{{
    {26.000, 44.372},
    {26.060, 44.356},
    {26.140, 44.355},
    {26.200, 44.375},
    {26.218, 44.430},
    {26.195, 44.490},
    {26.130, 44.513},
    {26.050, 44.508},
    {25.998, 44.470},
    {25.988, 44.420},
}};

constexpr double kGridStep = 500.0;     // metres
constexpr double kGridMargin = 2500.0;  // metres between the zone's extent and the grid's edge
constexpr int kDrawingScale = 25000;    // labels of 62.5 m, targets of 25 m in the drawing
// The lattice of the common points, about 900 m either way, each point moved from its lattice
// position by up to kJitter of a spacing.
constexpr double kSpacingB = 0.0081;
constexpr double kSpacingL = 0.0113;
constexpr double kJitter = 0.3;
// One lattice position in kValidationEvery becomes a validation point instead.
constexpr int kValidationEvery = 23;
// The generator refuses a model that parts from the route by this much inside the zone.
constexpr double kMaxModelError = 0.01;

struct EastNorth {
    double e;
    double n;
};

// The dispatcher gives Stereo70 as (x = North, y = East) and Stereo30 as (East, North).
EastNorth Ordered(const ChainResult& r, bool northFirst)
{
    return northFirst ? EastNorth{r.second, r.first} : EastNorth{r.first, r.second};
}

struct Direction {
    const char* stem; // the model's files: stem.GRD, stem.PAR, and the source stem.txt
    const char* productName;
    const char* description;
    const char* systemsLine; // the second header line of the source
    char code;               // the command that applies the model
    TransformationType routeType;  // from the source system to the target system
    TransformationType sourceType; // ETRS89 -> source system
    TransformationType targetType; // ETRS89 -> target system
    bool sourceNorthFirst;
    bool targetNorthFirst;
    Ellipsoid sourceEllipsoid;
    Ellipsoid targetEllipsoid;
    // The reports, the grid text and the binary grid of the run ship in models/<stem>/. One model
    // is enough to show them; the drawings (1.6 MB each) stay out of the data set.
    bool shipsOtherOutputs;
};

constexpr Direction kStereo30ToStereo70{
    "Stereo30_Stereo70_2D", "model-stereo30-stereo70",
    "Bucharest model Stereo30 -> Stereo70: Stereo30_Stereo70_2D.txt, .GRD, .PAR, models/Stereo30_Stereo70_2D/",
    "Sistemul 1: Stereo30 Bucuresti (Est, Nord); sistemul 2: Stereo70 (Est, Nord); conturul in sistemul 2",
    '5', TransformationType::Stereo30ToStereo70, TransformationType::EtrsToStereo30,
    TransformationType::EtrsToStereo70, false, true, kHayford1924, kKrasovski1942, true};
constexpr Direction kStereo70ToStereo30{
    "Stereo70_Stereo30_2D", "model-stereo70-stereo30",
    "Bucharest model Stereo70 -> Stereo30: Stereo70_Stereo30_2D.txt, .GRD, .PAR",
    "Sistemul 1: Stereo70 (Est, Nord); sistemul 2: Stereo30 Bucuresti (Est, Nord); conturul in sistemul 2",
    '6', TransformationType::Stereo70ToStereo30, TransformationType::EtrsToStereo70,
    TransformationType::EtrsToStereo30, true, false, kKrasovski1942, kHayford1924, false};

// A coordinate as the source file gives it, and as the program reads it back.
double AsWritten(double value, int decimals)
{
    double read = 0.0;
    ParseDecimal(FormatFixed(value, 0, decimals), read);
    return read;
}

EastNorth Millimetres(EastNorth p)
{
    return {AsWritten(p.e, 3), AsWritten(p.n, 3)};
}

// A fraction in [0, 1) for lattice position (i, j), by integer hashing, so that the points do not
// depend on the floating-point library.
double Jitter(int i, int j, std::uint64_t salt)
{
    std::uint64_t x = (static_cast<std::uint64_t>(i) << 32) ^ static_cast<std::uint64_t>(j) ^ (salt << 56);
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return static_cast<double>(x >> 11) / 9007199254740992.0; // 2^53
}

bool InsideZone(LonLat p)
{
    bool inside = false;
    for (std::size_t k = 0, prev = kZone.size() - 1; k < kZone.size(); prev = k++) {
        const LonLat a = kZone[k];
        const LonLat b = kZone[prev];
        if ((a.B > p.B) != (b.B > p.B) && p.L < (b.L - a.L) * (p.B - a.B) / (b.B - a.B) + a.L)
            inside = !inside;
    }
    return inside;
}

struct CommonPoint {
    std::string name;
    EastNorth source;
    EastNorth target;
};

struct ModelSource {
    std::vector<std::pair<std::string, EastNorth>> contour; // target system, starred ones last
    std::vector<CommonPoint> common;
    std::vector<CommonPoint> validation; // names starting with "*"
    std::vector<std::pair<std::string, EastNorth>> newPoints;
};

std::string Numbered(const char* prefix, std::size_t number, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%0*zu", prefix, digits, number);
    return text;
}

// The zone polygon in the target system, and two starred vertices at the south-west and
// north-east corners of its extent widened by kGridMargin on whole grid steps.
void AddContour(Route& route, const Direction& d, ModelSource& s)
{
    double minE = INFINITY, maxE = -INFINITY, minN = INFINITY, maxN = -INFINITY;
    for (std::size_t k = 0; k < kZone.size(); ++k) {
        const EastNorth p = Millimetres(Ordered(route.Transform(d.targetType, 0, kZone[k].L, kZone[k].B), d.targetNorthFirst));
        s.contour.emplace_back(Numbered("Z", k + 1, 2), p);
        minE = std::min(minE, p.e), maxE = std::max(maxE, p.e);
        minN = std::min(minN, p.n), maxN = std::max(maxN, p.n);
    }
    s.contour.emplace_back("*SV", EastNorth{std::floor(minE / kGridStep) * kGridStep - kGridMargin,
                                            std::floor(minN / kGridStep) * kGridStep - kGridMargin});
    s.contour.emplace_back("*NE", EastNorth{std::ceil(maxE / kGridStep) * kGridStep + kGridMargin,
                                            std::ceil(maxN / kGridStep) * kGridStep + kGridMargin});
}

// Both systems of an ETRS89 point: the source system by the program's chain, written to the
// millimetre, and the target by the route from those written coordinates.
CommonPoint PointPair(Route& route, const Direction& d, std::string name, LonLat p)
{
    const EastNorth source = Millimetres(Ordered(route.Transform(d.sourceType, 0, p.L, p.B), d.sourceNorthFirst));
    const EastNorth target = Ordered(route.Transform(d.routeType, 0, source.e, source.n), d.targetNorthFirst);
    return {std::move(name), source, Millimetres(target)};
}

// Common points on a jittered lattice over the zone; every kValidationEvery-th position inside the
// zone holds a validation point instead.
void AddCommonPoints(Route& route, const Direction& d, ModelSource& s)
{
    double minL = INFINITY, maxL = -INFINITY, minB = INFINITY, maxB = -INFINITY;
    for (const LonLat& p : kZone) {
        minL = std::min(minL, p.L), maxL = std::max(maxL, p.L);
        minB = std::min(minB, p.B), maxB = std::max(maxB, p.B);
    }
    const auto columns = static_cast<int>((maxL - minL) / kSpacingL);
    const auto rows = static_cast<int>((maxB - minB) / kSpacingB);
    int position = 0;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            const LonLat p{minL + (i + 0.5 + kJitter * (2.0 * Jitter(i, j, 1) - 1.0)) * kSpacingL,
                           minB + (j + 0.5 + kJitter * (2.0 * Jitter(i, j, 2) - 1.0)) * kSpacingB};
            if (!InsideZone(p))
                continue;
            if (++position % kValidationEvery == 0)
                s.validation.push_back(PointPair(route, d, Numbered("*V", s.validation.size() + 1, 2), p));
            else
                s.common.push_back(PointPair(route, d, Numbered("C", s.common.size() + 1, 3), p));
        }
    }
}

std::string PointLine(const std::string& name, std::initializer_list<double> values)
{
    std::string line = name;
    for (const double v : values)
        line += ", " + FormatFixed(v, 0, 3);
    return line + kLineEnd;
}

ModelSource MakeModelSource(Route& route, const Direction& d)
{
    ModelSource s;
    AddContour(route, d, s);
    AddCommonPoints(route, d, s);
    std::vector<Place> places = kBucharest;
    places.insert(places.end(), kBucharestOutside.begin(), kBucharestOutside.end());
    for (const Place& p : places)
        s.newPoints.emplace_back(p.name, Millimetres(Ordered(route.Transform(d.sourceType, 0, p.L, p.B), d.sourceNorthFirst)));
    return s;
}

std::string SourceText(const Direction& d, const ModelSource& s)
{
    std::string text;
    for (const std::string& line :
         {std::string("DATE DEMONSTRATIVE, nu pentru lucrari topografice: model de distorsiuni ") + d.stem,
          std::string(d.systemsLine),
          std::string("Puncte comune din transformarea ") + d.code +
              " a programului (prin ETRS89); *V: puncte de verificare; PN: puncte noi",
          std::string("Scris de velmora-demodata (make demo-data); vezi data/demo/README.md"), std::string("SC"),
          std::to_string(kDrawingScale), std::string("PAS"), FormatFixed(kGridStep, 0, 1) + ", " + FormatFixed(kGridStep, 0, 1),
          std::string("C")})
        text += line + kLineEnd;
    for (const auto& [name, p] : s.contour)
        text += PointLine(name, {p.e, p.n});
    text += std::string("END") + kLineEnd + "P" + kLineEnd;
    char ellipsoids[128];
    std::snprintf(ellipsoids, sizeof ellipsoids, "%.3f, %.3f, %.3f, %.3f", d.sourceEllipsoid.a, d.sourceEllipsoid.invF,
                  d.targetEllipsoid.a, d.targetEllipsoid.invF);
    text += std::string(ellipsoids) + kLineEnd + "PC" + kLineEnd;
    for (const auto* points : {&s.common, &s.validation})
        for (const CommonPoint& p : *points)
            text += PointLine(p.name, {p.source.e, p.source.n, p.target.e, p.target.n});
    text += std::string("END") + kLineEnd + "PN" + kLineEnd;
    for (const auto& [name, p] : s.newPoints)
        text += PointLine(name, {p.e, p.n});
    return text + "END" + kLineEnd + "ENDF" + kLineEnd;
}

// The program's own plane model building with regression on a copy of the source, in a scratch
// directory; the node grid and parameter file go to outDir, the other outputs that ship to
// outDir/models/<stem>. Returns the file names written, relative to outDir.
//
// The command of velmora-cli build-model, called with the source's bare name: velmora-cli itself
// makes the name absolute, as the open dialog does, and the model report would then name the
// scratch directory in its first line. The model files are the same either way.
std::vector<std::string> BuildModel(const Direction& d, const fs::path& outDir, const std::string& source)
{
    const ScratchDir scratch;
    const std::string stem = d.stem;
    ReplaceFile(scratch.Path() / (stem + ".txt"), source);
    std::istringstream in;
    std::ostringstream messages;
    CliUi ui(stem + ".txt", "", 34, in, messages, messages, false);
    CommandContext ctx;
    RunModelBuilding(ctx, ui, {ModelBuildingCommand::PlaneRegression, stem + ".txt", scratch.Path(), false});

    std::vector<std::pair<fs::path, fs::path>> copies = {{stem + ".GRD", stem + ".GRD"}, {stem + ".PAR", stem + ".PAR"}};
    if (d.shipsOtherOutputs) {
        const fs::path others = fs::path(kModelsDir) / stem;
        fs::create_directories(outDir / others);
        for (const std::string& name :
             {std::string("REZULT.TXT"), std::string("REZ_NOI.TXT"), stem + ".GRT", stem + "J.GRD"})
            copies.emplace_back(name, others / name);
    }
    std::vector<std::string> written;
    for (const auto& [from, to] : copies) {
        ReplaceFile(outDir / to, ReadFile(scratch.Path() / from));
        written.push_back(to.string());
    }
    return written;
}

// The source point whose model Helmert image is t: the exact inverse of the similarity.
EastNorth InverseHelmert(const ModelParameterRecord& m, EastNorth t)
{
    const double de = t.e - m.helmertShiftE;
    const double dn = t.n - m.helmertShiftN;
    const double m2 = m.helmertA * m.helmertA + m.helmertB * m.helmertB;
    return {(m.helmertA * de + m.helmertB * dn) / m2, (m.helmertA * dn - m.helmertB * de) / m2};
}

bool ZoneCell(const NodeGrid& nodes, std::int64_t c, std::int64_t r)
{
    return nodes.Node(c, r).pointState != 'E' && nodes.Node(c + 1, r).pointState != 'E' &&
           nodes.Node(c, r + 1).pointState != 'E' && nodes.Node(c + 1, r + 1).pointState != 'E';
}

// Three source points in every cell whose four corners lie in the zone, written to 0.1 mm.
std::vector<EastNorth> CheckPoints(const NodeGrid& nodes, const ModelParameterRecord& parameters)
{
    constexpr double kFractions[3][2] = {{0.5, 0.5}, {0.17, 0.71}, {0.83, 0.29}};
    const GridGeometry& g = nodes.Geometry();
    std::vector<EastNorth> points;
    for (std::int64_t r = 0; r + 1 < g.nY; ++r)
        for (std::int64_t c = 0; c + 1 < g.nX; ++c)
            if (ZoneCell(nodes, c, r))
                for (const auto& f : kFractions) {
                    const EastNorth s = InverseHelmert(parameters, {g.x0 + (static_cast<double>(c) + f[0]) * g.step,
                                                                    g.y0 + (static_cast<double>(r) + f[1]) * g.step});
                    points.push_back({AsWritten(s.e, 4), AsWritten(s.n, 4)});
                }
    return points;
}

// The largest difference between the command of the model's code, run through velmora-cli on
// the check points, and the route from the same points.
double ModelError(Route& route, const Direction& d, const fs::path& dataDir, std::size_t& count)
{
    const std::string stem = d.stem;
    const std::vector<EastNorth> points =
        CheckPoints(NodeGrid::Load(dataDir / (stem + ".GRD")), LoadModelParameters(dataDir / (stem + ".PAR")));
    count = points.size();
    const ScratchDir scratch;
    std::string source = std::string("verificare") + kLineEnd;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const EastNorth p = points[k];
        const std::string name = Numbered("P", k, 1);
        source += name + ", " + FormatFixed(d.sourceNorthFirst ? p.n : p.e, 0, 4) + ", " +
                  FormatFixed(d.sourceNorthFirst ? p.e : p.n, 0, 4) + kLineEnd;
    }
    ReplaceFile(scratch.Path() / "verificare.txt", source + "ENDF" + kLineEnd);
    const CliOutcome run =
        RunCliHere({"transform", std::string(1, d.code), "verificare.txt", "rezultat", "--data", dataDir.string(),
                    "--work-dir", scratch.Path().string()});
    if (run.status != kExitOk)
        throw std::runtime_error(stem + ": code " + d.code + " fails in the zone: " + run.err);

    PointFile results = PointFile::OpenForUpdate(scratch.Path() / "PNXYZ.REC");
    double worst = 0.0;
    for (std::uint64_t k = 0; k < results.Size(); ++k) {
        const PointRecord p = results.Read(k);
        if (p.pointState != 'D')
            throw std::runtime_error(stem + ": a point of the zone is listed as exterior: " + std::string(p.name.View()));
        const EastNorth target = Ordered(route.Transform(d.routeType, 0, p.sys1[0], p.sys1[1]), d.targetNorthFirst);
        worst = std::max({worst, std::fabs(p.modelWork2[3] - target.e), std::fabs(p.modelWork2[4] - target.n)});
    }
    return worst;
}

// What the parameter file holds: the Helmert step and the regression terms per component.
std::string DescribeParameters(const fs::path& path)
{
    const ModelParameterRecord m = LoadModelParameters(path);
    std::ostringstream text;
    text.precision(12);
    text << path.filename().string() << ": helmertA " << m.helmertA << ", helmertB " << m.helmertB << ", shifts "
         << m.helmertShiftE << ", " << m.helmertShiftN << " m; regression " << m.termCount[0] << " terms East, "
         << m.termCount[1] << " North";
    return text.str();
}

std::string DescribeNodeGrid(const fs::path& path)
{
    const NodeGrid nodes = NodeGrid::Load(path);
    const GridGeometry& g = nodes.Geometry();
    int counts[3] = {0, 0, 0};
    for (std::int64_t r = 0; r < g.nY; ++r)
        for (std::int64_t c = 0; c < g.nX; ++c)
            ++counts[std::string_view("IGE").find(nodes.Node(c, r).pointState) % 3];
    std::ostringstream text;
    text.precision(10);
    text << path.filename().string() << ": " << g.nX << " x " << g.nY << " nodes from East " << g.x0 << ", North "
         << g.y0 << ", step " << g.step << " m; " << counts[0] << " I, " << counts[1] << " G, " << counts[2] << " E";
    return text.str();
}

std::vector<std::string> MakeModel(const ProductContext& context, const Direction& d)
{
    const fs::path outDir = fs::absolute(context.outDir).lexically_normal();
    const std::string stem = d.stem;
    Route route(outDir);
    const ModelSource model = MakeModelSource(route, d);
    const std::string source = SourceText(d, model);
    ReplaceFile(outDir / (stem + ".txt"), source);

    std::vector<std::string> log;
    log.push_back(stem + ".txt: " + std::to_string(model.common.size()) + " common points, " +
                  std::to_string(model.validation.size()) + " validation points, " +
                  std::to_string(model.newPoints.size()) + " new points, contour of " +
                  std::to_string(model.contour.size()) + " vertices");
    std::vector<std::string> written;
    try {
        written = BuildModel(d, outDir, source);
        log.push_back(DescribeNodeGrid(outDir / (stem + ".GRD")));
        log.push_back(DescribeParameters(outDir / (stem + ".PAR")));
    } catch (const FatalError& error) {
        throw std::runtime_error(stem + ": " + error.what());
    }
    std::string files = "  written:";
    for (const std::string& name : written)
        files += " " + name;
    log.push_back(files);

    std::size_t checked = 0;
    const double worst = ModelError(route, d, outDir, checked);
    if (!(worst < kMaxModelError))
        throw std::runtime_error(stem + ": code " + d.code + " parts from the route by " + std::to_string(worst) + " m");
    std::ostringstream check;
    check.precision(3);
    check << "  code " << d.code << " against the route at " << checked << " points in the zone: largest difference "
          << worst * 1000.0 << " mm";
    log.push_back(check.str());
    return log;
}

} // namespace

std::vector<Product> BucharestModelProducts()
{
    std::vector<Product> products;
    for (const Direction* d : {&kStereo30ToStereo70, &kStereo70ToStereo30})
        products.push_back({d->productName, d->description,
                            [d](const ProductContext& context) { return MakeModel(context, *d); }});
    return products;
}

} // namespace velmora::demodata
