// The Stereo70 plane: the oblique (double) stereographic projection through the conformal sphere
// of Gauss, as EPSG Guidance Note 7-2 gives it for the Oblique Stereographic method (9809), with
// the inverse latitude iterated from the isometric latitude.
#pragma once

#include "core/Geodesy.h"

namespace velmora {

// Origin, scale and false origin of an oblique stereographic projection.
struct StereoConstants {
    double phi0;    // radians
    double lambda0; // radians
    double k0;
    double falseEasting;
    double falseNorthing;
};

inline constexpr StereoConstants kStereo70{46.0 * kDegree, 25.0 * kDegree, 0.99975, 500000.0, 500000.0};

// The projection on one ellipsoid, its conformal sphere derived once.
class StereoProjection {
public:
    explicit StereoProjection(const Ellipsoid& ellipsoid, const StereoConstants& constants = kStereo70);

    // Angles in radians; N is the Stereo70 x, E the Stereo70 y.
    NorthEast Forward(double phi, double lambda) const;
    LatLon Inverse(double E, double N) const;

private:
    StereoConstants constants_;
    double e_;
    double e2_;
    double n_;
    double c_;
    double chi0_;
    double sinChi0_;
    double cosChi0_;
    double K_; // 2 R k0
};

// The Stereo70 projection on the ellipsoid (a, 1/f), for a single point; a loop over many points
// keeps one StereoProjection instead.
NorthEast StereoForward(double a, double invF, double phi, double lambda);
LatLon StereoInverse(double a, double invF, double E, double N);

} // namespace velmora
