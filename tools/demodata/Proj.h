// Thin RAII layer over PROJ's C API for the generator: a context, operations normalised to
// longitude/latitude and easting/northing order, and the published operations the demonstration
// grids are sampled from.
#pragma once

#include <proj.h>

#include <memory>
#include <string>

namespace velmora::demodata {

struct ProjContextDeleter {
    void operator()(PJ_CONTEXT* ctx) const { proj_context_destroy(ctx); }
};
struct ProjDeleter {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using ProjContextPtr = std::unique_ptr<PJ_CONTEXT, ProjContextDeleter>;
using ProjPtr = std::unique_ptr<PJ, ProjDeleter>;

// A PROJ context without network access, so that only the locally installed data is used.
class ProjSession {
public:
    ProjSession();

    PJ_CONTEXT* Context() const { return ctx_.get(); }

    // An operation from its EPSG code, with the axes in longitude/latitude or easting/northing
    // order. Throws std::runtime_error on failure.
    ProjPtr Operation(const std::string& definition) const;
    // An operation from a PROJ pipeline string, taken as it stands.
    ProjPtr Pipeline(const std::string& definition) const;
    // The operation PROJ selects between two coordinate reference systems, normalised.
    ProjPtr CrsToCrs(const std::string& source, const std::string& target) const;

    // Degrees in, the operation's output out; throws when PROJ cannot transform the point.
    PJ_COORD Forward(PJ* op, double x, double y, double z = 0.0) const;
    PJ_COORD Inverse(PJ* op, double x, double y, double z = 0.0) const;

private:
    PJ_COORD Transform(PJ* op, PJ_DIRECTION direction, double x, double y, double z) const;
    ProjContextPtr ctx_;
};

// ETRS89 longitude/latitude (degrees) to Stereo70 easting/northing on Krasovski 1942 by the
// published seven-parameter transformation EPSG:15994, "Pulkovo 1942(58) to ETRS89 (4)", taken
// explicitly and checked against the operation PROJ itself selects for EPSG:4258 -> EPSG:3844.
class PublishedStereo70 {
public:
    explicit PublishedStereo70(const ProjSession& session);

    // (easting, northing) in metres for the point at height 0 on GRS80.
    PJ_XY EastNorth(double L, double B) const;
    // Name of the operation PROJ selects for EPSG:4258 -> EPSG:3844.
    const std::string& SelectedName() const { return selectedName_; }

private:
    const ProjSession& session_;
    ProjPtr datumShift_;  // EPSG:15994, Pulkovo 1942(58) -> ETRS89, used backwards
    ProjPtr projection_;  // Pulkovo 1942(58) -> Stereo70 (EPSG:3844)
    ProjPtr selected_;    // what PROJ selects for EPSG:4258 -> EPSG:3844
    std::string selectedName_;
};

// EGM96 geoid undulation (metres) by a vertical grid shift over egm96_15.gtx.
class Egm96 {
public:
    explicit Egm96(const ProjSession& session);
    double Undulation(double L, double B) const;

private:
    const ProjSession& session_;
    ProjPtr shift_;
};

} // namespace velmora::demodata
