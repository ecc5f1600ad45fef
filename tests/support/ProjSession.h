// PROJ as the independent implementation the tests compare with: a context without network
// access, its operations normalised to longitude/latitude and easting/northing order.
#pragma once

#ifdef VELMORA_HAVE_PROJ

#include <proj.h>

#include <memory>

namespace velmora::test {

struct ProjDeleter {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using ProjOperation = std::unique_ptr<PJ, ProjDeleter>;

class ProjSession {
public:
    ProjSession() : ctx_(proj_context_create()) { proj_context_set_enable_network(ctx_.get(), 0); }

    // PROJ's route from one CRS to another; null when PROJ cannot make it.
    ProjOperation CrsToCrs(const char* source, const char* target) const
    {
        ProjOperation raw(proj_create_crs_to_crs(ctx_.get(), source, target, nullptr));
        if (!raw)
            return nullptr;
        return ProjOperation(proj_normalize_for_visualization(ctx_.get(), raw.get()));
    }

    // EGM96 undulations (longitude, latitude in degrees in, the undulation as z); null where the
    // grid is not installed.
    ProjOperation Egm96() const
    {
        return ProjOperation(proj_create(ctx_.get(), "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                                     "+step +proj=vgridshift +grids=egm96_15.gtx +multiplier=1"));
    }

private:
    struct ContextDeleter {
        void operator()(PJ_CONTEXT* ctx) const { proj_context_destroy(ctx); }
    };
    std::unique_ptr<PJ_CONTEXT, ContextDeleter> ctx_;
};

} // namespace velmora::test

#endif // VELMORA_HAVE_PROJ
