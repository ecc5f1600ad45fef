// The two Bucharest distortion models of the demonstration set, Stereo30 -> Stereo70 and
// Stereo70 -> Stereo30: a node grid (one point record per node) and a parameter file each.
//
// A model is the least-squares plane similarity between the two systems over the model zone, and
// at every node the signal that the program's own route between them (through ETRS89, on the
// correction grids of the output directory) leaves after that similarity. Applying the model
// therefore reproduces the route inside the zone, up to the interpolation between nodes.
//
// The zone is a polygon around Bucharest. Nodes inside it are 'I', nodes outside it but within a
// cell diagonal of it 'G' (so every cell that the polygon touches has four zone corners), and all
// others exterior, 'E'. The exterior nodes of the two rings around the zone nodes keep their
// signal values, so that the 4 x 4 stencil of every cell with four zone corners holds data, also
// for a point lying exactly on a cell line; the rest hold 999.0, no data.

#include "GrdWriter.h"
#include "Products.h"
#include "Route.h"

#include "files/FatalError.h"
#include "files/PointRecord.h"
#include "model/GridInterpolation.h"
#include "model/ModelParameters.h"
#include "model/NodeGrid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::demodata {
namespace {

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

constexpr double kNodeStep = 500.0;   // metres; the interpolation error stays below 0.1 mm
constexpr std::int64_t kMarginNodes = 5; // nodes between the zone's extent and the grid's edge
constexpr std::int64_t kDataRings = 2;   // exterior rings around the zone that keep their values
constexpr double kNoData = 999.0;
constexpr double kFitSpacing = 0.004; // degrees between the points of the similarity fit
// The generator refuses a model that parts from the route by more than this inside the zone.
constexpr double kMaxModelError = 0.001;

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
    const char* gridName;
    const char* productName;
    const char* description;
    TransformationType routeType;  // from the source system to the target system
    TransformationType sourceType; // ETRS89 -> source system
    TransformationType targetType; // ETRS89 -> target system
    bool sourceNorthFirst;
    bool targetNorthFirst;
};

constexpr Direction kStereo30ToStereo70{"Stereo30_Stereo70_2D.GRD", "model-stereo30-stereo70",
                                        "Bucharest model Stereo30 -> Stereo70 (Stereo30_Stereo70_2D.GRD/.PAR)",
                                        TransformationType::Stereo30ToStereo70, TransformationType::EtrsToStereo30,
                                        TransformationType::EtrsToStereo70, false, true};
constexpr Direction kStereo70ToStereo30{"Stereo70_Stereo30_2D.GRD", "model-stereo70-stereo30",
                                        "Bucharest model Stereo70 -> Stereo30 (Stereo70_Stereo30_2D.GRD/.PAR)",
                                        TransformationType::Stereo70ToStereo30, TransformationType::EtrsToStereo70,
                                        TransformationType::EtrsToStereo30, true, false};

// The model's plane similarity, evaluated as the model application evaluates it.
struct Similarity {
    double a;
    double b;
    double shiftE;
    double shiftN;

    EastNorth Apply(EastNorth s) const { return {a * s.e - b * s.n + shiftE, b * s.e + a * s.n + shiftN}; }
    EastNorth Invert(EastNorth t) const
    {
        const double de = t.e - shiftE;
        const double dn = t.n - shiftN;
        const double m2 = a * a + b * b;
        return {(a * de + b * dn) / m2, (a * dn - b * de) / m2};
    }
};

double RoundTo(double value, double resolution)
{
    const double rounded = std::nearbyint(value / resolution) * resolution;
    return rounded == 0.0 ? 0.0 : rounded;
}

struct FitPair {
    EastNorth source;
    EastNorth target;
};

// Least squares over the pairs, on coordinates centred on their means; the parameters are rounded
// (scale and rotation terms to 1e-12, shifts to the micrometre) so that the file does not depend
// on the last bits of the arithmetic.
Similarity FitSimilarity(const std::vector<FitPair>& pairs, double& rms)
{
    double se = 0.0, sn = 0.0, te = 0.0, tn = 0.0;
    for (const FitPair& p : pairs) {
        se += p.source.e;
        sn += p.source.n;
        te += p.target.e;
        tn += p.target.n;
    }
    const double count = static_cast<double>(pairs.size());
    se /= count;
    sn /= count;
    te /= count;
    tn /= count;
    double sxx = 0.0, sa = 0.0, sb = 0.0;
    for (const FitPair& p : pairs) {
        const double x = p.source.e - se, y = p.source.n - sn;
        const double X = p.target.e - te, Y = p.target.n - tn;
        sxx += x * x + y * y;
        sa += x * X + y * Y;
        sb += x * Y - y * X;
    }
    Similarity s{};
    s.a = RoundTo(sa / sxx, 1e-12);
    s.b = RoundTo(sb / sxx, 1e-12);
    s.shiftE = RoundTo(te - s.a * se + s.b * sn, 1e-6);
    s.shiftN = RoundTo(tn - s.b * se - s.a * sn, 1e-6);
    double sum = 0.0;
    for (const FitPair& p : pairs) {
        const EastNorth h = s.Apply(p.source);
        sum += (h.e - p.target.e) * (h.e - p.target.e) + (h.n - p.target.n) * (h.n - p.target.n);
    }
    rms = std::sqrt(sum / count);
    return s;
}

template <typename Point, typename Get>
bool InsidePolygon(const std::vector<Point>& polygon, double x, double y, Get get)
{
    bool inside = false;
    for (std::size_t k = 0, prev = polygon.size() - 1; k < polygon.size(); prev = k++) {
        const auto [xa, ya] = get(polygon[k]);
        const auto [xb, yb] = get(polygon[prev]);
        if ((ya > y) != (yb > y) && x < (xb - xa) * (y - ya) / (yb - ya) + xa)
            inside = !inside;
    }
    return inside;
}

double DistanceToBoundary(const std::vector<EastNorth>& polygon, EastNorth p)
{
    double best = INFINITY;
    for (std::size_t k = 0, prev = polygon.size() - 1; k < polygon.size(); prev = k++) {
        const EastNorth a = polygon[prev];
        const EastNorth b = polygon[k];
        const double de = b.e - a.e, dn = b.n - a.n;
        const double t = std::clamp(((p.e - a.e) * de + (p.n - a.n) * dn) / (de * de + dn * dn), 0.0, 1.0);
        best = std::min(best, std::hypot(p.e - (a.e + t * de), p.n - (a.n + t * dn)));
    }
    return best;
}

struct Grid {
    double x0 = 0.0;
    double y0 = 0.0;
    std::int64_t nX = 0;
    std::int64_t nY = 0;
    std::vector<char> state;      // 'I', 'G' or 'E' per node
    std::vector<EastNorth> value; // signal per node, kNoData where there is none
    std::int64_t Index(std::int64_t c, std::int64_t r) const { return r * nX + c; }
    EastNorth Position(std::int64_t c, std::int64_t r) const
    {
        return {x0 + static_cast<double>(c) * kNodeStep, y0 + static_cast<double>(r) * kNodeStep};
    }
};

// The node record as grid generation lays it out: position, status, signal, row and column, and
// the neighbours along the row and the column (one-sided at the edges).
PointRecord NodeRecord(const Grid& g, std::int64_t c, std::int64_t r)
{
    const std::int64_t k = g.Index(c, r);
    PointRecord node{};
    node.pointState = g.state[static_cast<std::size_t>(k)];
    const EastNorth at = g.Position(c, r);
    node.sys1 = {at.e, at.n, 0.0};
    const EastNorth v = g.value[static_cast<std::size_t>(k)];
    node.residual = {v.e, v.n, v.e == kNoData ? kNoData : 0.0};
    const std::int32_t rowColumn[2] = {static_cast<std::int32_t>(r), static_cast<std::int32_t>(c)};
    std::memcpy(&node.modelWork3[3], rowColumn, sizeof rowColumn);
    const std::int64_t alongRow[2] = {c == 0 ? k + 2 : k - 1, c == g.nX - 1 ? k - 2 : k + 1};
    const std::int64_t alongColumn[2] = {r == 0 ? k + 2 * g.nX : k - g.nX, r == g.nY - 1 ? k - 2 * g.nX : k + g.nX};
    node.nodeIndex = {static_cast<std::int32_t>(alongRow[0]), static_cast<std::int32_t>(alongRow[1]),
                      static_cast<std::int32_t>(alongColumn[0]), static_cast<std::int32_t>(alongColumn[1])};
    return node;
}

void WriteNodeGrid(const std::filesystem::path& path, const Grid& g)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(g.nX * g.nY) * sizeof(PointRecord));
    for (std::int64_t r = 0; r < g.nY; ++r) {
        for (std::int64_t c = 0; c < g.nX; ++c) {
            const PointRecord node = NodeRecord(g, c, r);
            bytes.append(reinterpret_cast<const char*>(&node), sizeof node);
        }
    }
    ReplaceFile(path, bytes);
}

void WriteParameters(const std::filesystem::path& path, const Similarity& s)
{
    ModelParameterRecord record{};
    record.helmertShiftE = s.shiftE;
    record.helmertShiftN = s.shiftN;
    record.helmertA = s.a;
    record.helmertB = s.b;
    ReplaceFile(path, std::string_view(reinterpret_cast<const char*>(&record), sizeof record));
}

// The largest distance between the model, applied by the library's own Helmert step and
// interpolation from the written files, and the route, at three positions in every cell whose
// corners all lie in the zone. Returns the number of points through count.
double ModelError(Route& route, const Direction& d, const std::filesystem::path& gridPath,
                  const ModelParameterRecord& parameters, const Similarity& s, int& count)
{
    const NodeGrid nodes = NodeGrid::Load(gridPath);
    const GridGeometry& g = nodes.Geometry();
    constexpr double kFractions[3][2] = {{0.5, 0.5}, {0.17, 0.71}, {0.83, 0.29}};
    double worst = 0.0;
    count = 0;
    for (std::int64_t r = 0; r + 1 < g.nY; ++r) {
        for (std::int64_t c = 0; c + 1 < g.nX; ++c) {
            const bool zoneCell = nodes.Node(c, r).pointState != 'E' && nodes.Node(c + 1, r).pointState != 'E' &&
                                  nodes.Node(c, r + 1).pointState != 'E' &&
                                  nodes.Node(c + 1, r + 1).pointState != 'E';
            if (!zoneCell)
                continue;
            for (const auto& f : kFractions) {
                const EastNorth at{g.x0 + (static_cast<double>(c) + f[0]) * g.step,
                                   g.y0 + (static_cast<double>(r) + f[1]) * g.step};
                const EastNorth source = s.Invert(at);
                PointRecord point{};
                point.sys1 = {source.e, source.n, 0.0};
                ApplyModelHelmert(point, parameters);
                InterpolateBicubic(point, nodes, kPlaneSignal);
                const EastNorth target =
                    Ordered(route.Transform(d.routeType, 0, source.e, source.n), d.targetNorthFirst);
                worst = std::max({worst, std::fabs(point.result[0] + point.residual[0] - target.e),
                                  std::fabs(point.result[1] + point.residual[1] - target.n)});
                ++count;
            }
        }
    }
    return worst;
}

// Source and target of the same ETRS89 points, on a lattice over the zone.
std::vector<FitPair> FitPairs(Route& route, const Direction& d, const std::vector<LonLat>& zone)
{
    const auto byDegrees = [](const LonLat& p) { return std::pair{p.L, p.B}; };
    double minL = INFINITY, maxL = -INFINITY, minB = INFINITY, maxB = -INFINITY;
    for (const LonLat& p : zone) {
        minL = std::min(minL, p.L), maxL = std::max(maxL, p.L);
        minB = std::min(minB, p.B), maxB = std::max(maxB, p.B);
    }
    std::vector<FitPair> pairs;
    const auto stepsL = static_cast<int>((maxL - minL) / kFitSpacing);
    const auto stepsB = static_cast<int>((maxB - minB) / kFitSpacing);
    for (int j = 0; j <= stepsB; ++j) {
        for (int i = 0; i <= stepsL; ++i) {
            const double L = minL + (i + 0.5) * kFitSpacing;
            const double B = minB + (j + 0.5) * kFitSpacing;
            if (!InsidePolygon(zone, L, B, byDegrees))
                continue;
            pairs.push_back({Ordered(route.Transform(d.sourceType, 0, L, B), d.sourceNorthFirst),
                             Ordered(route.Transform(d.targetType, 0, L, B), d.targetNorthFirst)});
        }
    }
    return pairs;
}

// A grid of whole steps around the zone (given in the target system), its nodes marked 'I' inside
// the zone, 'G' next to its boundary and 'E' elsewhere.
Grid ZoneGrid(const std::vector<EastNorth>& polygon)
{
    double minE = INFINITY, maxE = -INFINITY, minN = INFINITY, maxN = -INFINITY;
    for (const EastNorth& p : polygon) {
        minE = std::min(minE, p.e), maxE = std::max(maxE, p.e);
        minN = std::min(minN, p.n), maxN = std::max(maxN, p.n);
    }
    Grid g;
    const double firstColumn = std::floor(minE / kNodeStep) - static_cast<double>(kMarginNodes);
    const double firstRow = std::floor(minN / kNodeStep) - static_cast<double>(kMarginNodes);
    g.x0 = firstColumn * kNodeStep;
    g.y0 = firstRow * kNodeStep;
    g.nX = static_cast<std::int64_t>(std::ceil(maxE / kNodeStep) + kMarginNodes - firstColumn) + 1;
    g.nY = static_cast<std::int64_t>(std::ceil(maxN / kNodeStep) + kMarginNodes - firstRow) + 1;

    const auto byMetres = [](const EastNorth& p) { return std::pair{p.e, p.n}; };
    g.state.assign(static_cast<std::size_t>(g.nX * g.nY), 'E');
    for (std::int64_t r = 0; r < g.nY; ++r) {
        for (std::int64_t c = 0; c < g.nX; ++c) {
            const EastNorth at = g.Position(c, r);
            char& state = g.state[static_cast<std::size_t>(g.Index(c, r))];
            if (InsidePolygon(polygon, at.e, at.n, byMetres))
                state = 'I';
            else if (DistanceToBoundary(polygon, at) <= kNodeStep * std::sqrt(2.0))
                state = 'G';
        }
    }
    return g;
}

struct SignalSummary {
    int zoneNodes = 0;
    int ringNodes = 0;
    int noDataNodes = 0;
    double minSignal = INFINITY;
    double maxSignal = -INFINITY;
};

bool NearZone(const Grid& g, std::int64_t c, std::int64_t r)
{
    for (std::int64_t dr = -kDataRings; dr <= kDataRings; ++dr)
        for (std::int64_t dc = -kDataRings; dc <= kDataRings; ++dc) {
            const std::int64_t cc = c + dc, rr = r + dr;
            if (cc >= 0 && cc < g.nX && rr >= 0 && rr < g.nY && g.state[static_cast<std::size_t>(g.Index(cc, rr))] != 'E')
                return true;
        }
    return false;
}

// Signals: the route from the source point whose similarity image is the node, less the node.
SignalSummary FillSignals(Route& route, const Direction& d, const Similarity& s, Grid& g)
{
    g.value.assign(static_cast<std::size_t>(g.nX * g.nY), EastNorth{kNoData, kNoData});
    SignalSummary summary;
    for (std::int64_t r = 0; r < g.nY; ++r) {
        for (std::int64_t c = 0; c < g.nX; ++c) {
            const auto k = static_cast<std::size_t>(g.Index(c, r));
            if (!NearZone(g, c, r)) {
                ++summary.noDataNodes;
                continue;
            }
            // The outermost nodes stay without data, so the grid ends in exterior on every side.
            if (c == 0 || r == 0 || c == g.nX - 1 || r == g.nY - 1)
                throw std::runtime_error(std::string(d.gridName) + ": the zone reaches the edge of the grid");
            (g.state[k] == 'E' ? summary.ringNodes : summary.zoneNodes) += 1;
            const EastNorth at = g.Position(c, r);
            const EastNorth source = s.Invert(at);
            const EastNorth target = Ordered(route.Transform(d.routeType, 0, source.e, source.n), d.targetNorthFirst);
            const EastNorth signal{RoundNodeValue(target.e - at.e), RoundNodeValue(target.n - at.n)};
            g.value[k] = signal;
            summary.minSignal = std::min({summary.minSignal, signal.e, signal.n});
            summary.maxSignal = std::max({summary.maxSignal, signal.e, signal.n});
        }
    }
    return summary;
}

std::vector<std::string> MakeModel(const ProductContext& context, const Direction& d)
{
    Route route(context.outDir);
    const std::vector<LonLat> zone(kZone.begin(), kZone.end());
    const std::vector<FitPair> pairs = FitPairs(route, d, zone);
    double fitRms = 0.0;
    const Similarity s = FitSimilarity(pairs, fitRms);

    std::vector<EastNorth> polygon;
    for (const LonLat& p : zone)
        polygon.push_back(Ordered(route.Transform(d.targetType, 0, p.L, p.B), d.targetNorthFirst));
    Grid g = ZoneGrid(polygon);
    const SignalSummary summary = FillSignals(route, d, s, g);

    const std::filesystem::path gridPath = context.outDir / d.gridName;
    const std::filesystem::path parameterPath = std::filesystem::path(gridPath).replace_extension(".PAR");
    WriteNodeGrid(gridPath, g);
    WriteParameters(parameterPath, s);

    int checked = 0;
    double worst = 0.0;
    try {
        worst = ModelError(route, d, gridPath, LoadModelParameters(parameterPath), s, checked);
    } catch (const FatalError& error) {
        throw std::runtime_error(std::string(d.gridName) + ": " + error.what());
    }
    if (!(worst < kMaxModelError))
        throw std::runtime_error(std::string(d.gridName) + ": the model parts from the route by " +
                                 std::to_string(worst) + " m");

    std::ostringstream grid;
    grid.precision(10);
    grid << d.gridName << ": " << g.nX << " x " << g.nY << " nodes from East " << g.x0 << ", North " << g.y0
         << ", step " << kNodeStep << " m; " << summary.zoneNodes << " in the zone, " << summary.ringNodes
         << " exterior with values, " << summary.noDataNodes << " without data; signal " << summary.minSignal
         << " .. " << summary.maxSignal << " m";
    std::ostringstream parameters;
    parameters.precision(15);
    parameters << parameterPath.filename().string() << ": helmertA " << s.a << ", helmertB " << s.b
               << ", shifts " << s.shiftE << ", " << s.shiftN << " m; fit over " << pairs.size()
               << " points, rms " << fitRms << " m";
    std::ostringstream check;
    check.precision(3);
    check << "  model against the route at " << checked << " points in the zone: largest difference "
          << worst * 1000.0 << " mm";
    return {grid.str(), parameters.str(), check.str()};
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
