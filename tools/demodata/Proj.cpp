#include "Proj.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace velmora::demodata {
namespace {

std::string LastError(PJ_CONTEXT* ctx)
{
    const int err = proj_context_errno(ctx);
    const char* text = proj_context_errno_string(ctx, err);
    return text != nullptr ? text : "unknown PROJ error";
}

ProjPtr Normalised(PJ_CONTEXT* ctx, PJ* raw, const std::string& what)
{
    if (raw == nullptr)
        throw std::runtime_error("PROJ cannot create " + what + ": " + LastError(ctx));
    ProjPtr op(raw);
    ProjPtr normal(proj_normalize_for_visualization(ctx, op.get()));
    if (!normal)
        throw std::runtime_error("PROJ cannot normalise " + what + ": " + LastError(ctx));
    return normal;
}

} // namespace

ProjSession::ProjSession() : ctx_(proj_context_create())
{
    if (!ctx_)
        throw std::runtime_error("PROJ context cannot be created");
    proj_context_set_enable_network(ctx_.get(), 0);
}

ProjPtr ProjSession::Operation(const std::string& definition) const
{
    return Normalised(ctx_.get(), proj_create(ctx_.get(), definition.c_str()), definition);
}

ProjPtr ProjSession::CrsToCrs(const std::string& source, const std::string& target) const
{
    return Normalised(ctx_.get(), proj_create_crs_to_crs(ctx_.get(), source.c_str(), target.c_str(), nullptr),
                      source + " -> " + target);
}

ProjPtr ProjSession::Pipeline(const std::string& definition) const
{
    ProjPtr op(proj_create(ctx_.get(), definition.c_str()));
    if (!op)
        throw std::runtime_error("PROJ cannot create " + definition + ": " + LastError(ctx_.get()));
    return op;
}

PJ_COORD ProjSession::Transform(PJ* op, PJ_DIRECTION direction, double x, double y, double z) const
{
    proj_errno_reset(op);
    const PJ_COORD out = proj_trans(op, direction, proj_coord(x, y, z, 0.0));
    if (proj_errno(op) != 0 || !std::isfinite(out.xyz.x) || !std::isfinite(out.xyz.y) ||
        !std::isfinite(out.xyz.z)) {
        std::ostringstream message;
        message.precision(12);
        message << "PROJ cannot transform (" << x << ", " << y << "): " << LastError(ctx_.get());
        throw std::runtime_error(message.str());
    }
    return out;
}

PJ_COORD ProjSession::Forward(PJ* op, double x, double y, double z) const
{
    return Transform(op, PJ_FWD, x, y, z);
}

PJ_COORD ProjSession::Inverse(PJ* op, double x, double y, double z) const
{
    return Transform(op, PJ_INV, x, y, z);
}

PublishedStereo70::PublishedStereo70(const ProjSession& session)
    : session_(session),
      datumShift_(session.Operation("urn:ogc:def:coordinateOperation:EPSG::15994")),
      projection_(session.CrsToCrs("EPSG:4179", "EPSG:3844")),
      selected_(session.CrsToCrs("EPSG:4258", "EPSG:3844"))
{
    const char* name = proj_get_name(selected_.get());
    selectedName_ = name != nullptr ? name : "";
    // The grid is only meaningful if it reproduces what PROJ does for this pair of systems.
    if (selectedName_.find("Pulkovo 1942(58) to ETRS89 (4)") == std::string::npos)
        throw std::runtime_error("PROJ selects an unexpected operation for EPSG:4258 -> EPSG:3844: " +
                                 selectedName_);
}

PJ_XY PublishedStereo70::EastNorth(double L, double B) const
{
    const PJ_COORD pulkovo = session_.Inverse(datumShift_.get(), L, B);
    const PJ_COORD explicitRoute = session_.Forward(projection_.get(), pulkovo.lp.lam, pulkovo.lp.phi);
    const PJ_COORD selectedRoute = session_.Forward(selected_.get(), L, B);
    const double gap = std::hypot(explicitRoute.xy.x - selectedRoute.xy.x, explicitRoute.xy.y - selectedRoute.xy.y);
    if (!(gap < 1e-6)) {
        std::ostringstream message;
        message.precision(12);
        message << "EPSG:15994 and the selected operation disagree by " << gap << " m at L " << L << ", B " << B;
        throw std::runtime_error(message.str());
    }
    return explicitRoute.xy;
}

Egm96::Egm96(const ProjSession& session)
    : session_(session),
      shift_(session.Pipeline("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                               "+step +proj=vgridshift +grids=egm96_15.gtx +multiplier=1 "
                               "+step +proj=unitconvert +xy_in=rad +xy_out=deg"))
{
}

double Egm96::Undulation(double L, double B) const
{
    return session_.Forward(shift_.get(), L, B, 0.0).xyz.z;
}

} // namespace velmora::demodata
