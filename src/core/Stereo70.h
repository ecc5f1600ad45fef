// The Stereo70 plane: oblique (double) stereographic projection through a conformal sphere,
// with fixed projection constants and the ellipsoid as an argument.
#pragma once

#include "core/Geodesy.h"

namespace velmora {

struct NorthEast {
    double N;
    double E;
};

struct LatLon {
    double phi;    // radians
    double lambda; // radians
};

// Ellipsoid (a, 1/f); angles in radians; N is the Stereo70 x, E the Stereo70 y.
NorthEast StereoForward(double a, double invF, double phi, double lambda);
LatLon StereoInverse(double a, double invF, double E, double N);

namespace detail {

// Origin, scale and false origin of an oblique stereographic projection.
struct StereoConstants {
    double phi0;    // radians
    double lambda0; // radians
    double k0;
    double falseEasting;
    double falseNorthing;
};

extern const StereoConstants kStereo70;

NorthEast StereoForward(const StereoConstants& constants, double a, double invF, double phi,
                        double lambda);
LatLon StereoInverse(const StereoConstants& constants, double a, double invF, double E, double N);

} // namespace detail
} // namespace velmora
