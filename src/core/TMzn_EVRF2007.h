// The conversions of the European systems: Transverse Mercator zones of ETRS-TMzn, EVRF2007
// heights and the ETRS89 LAEA grid. Each class derives its constants once, in its constructor.
//
// Published formulas they follow:
//   Transverse Mercator: Redfearn's series in the longitude difference (to the seventh power),
//     with the meridian arc and the footpoint latitude as series in the second eccentricity
//     (EPSG Guidance Note 7-2, Transverse Mercator, method 9807).
//   LAEA: EPSG Guidance Note 7-2, Lambert Azimuthal Equal Area, method 9820, the oblique
//     ellipsoidal aspect through the authalic latitude.
//   EVRF2007: a tilted plane, a constant offset and two tilts about a reference point.
#pragma once

#include "core/Geodesy.h"

#include <optional>

namespace velmora {

namespace detail {

// The Transverse Mercator formulas with every constant given: ellipsoid, scale, false origin and
// latitude of origin.
struct TmConstants {
    double sm_a;
    double inv_f;
    double k0;
    double E0;
    double N0;
    double phi0; // radians
};

class TransverseMercator {
public:
    explicit TransverseMercator(const TmConstants& tm);

    // Central meridian, latitude and longitude in radians.
    NorthEast Forward(double lambda0, double phi, double lambda) const;
    LatLon Inverse(double lambda0, double North, double East) const;

private:
    double MeridianArc(double phi) const;

    TmConstants tm_;
    double e2_;
    double u_; // second eccentricity squared
    double alpha_;
    double G2_, G4_, G6_, G8_; // meridian arc
    double F2_, F4_, F6_, F8_; // footpoint latitude
    double originArc_;         // k0 M(phi0)
};

} // namespace detail

// ETRS-TMzn on GRS80: six-degree zones, scale 0.9996, false easting 500 km. Latitudes and
// longitudes in decimal degrees; North and East in metres.
class ConversorUTM {
public:
    ConversorUTM();

    // std::nullopt when phi or lambda lies outside 0..84 degrees.
    std::optional<NorthEast> MapLatLonToNE(double phi, double lambda, int zone) const;
    // std::nullopt when the latitude or longitude found lies outside 0..84 degrees.
    std::optional<GeodeticDegrees> MapNEToLatLon(double North, double East, int zone) const;

    const double sm_a;
    const double inv_f;
    const double k0;
    const double E0;
    const double N0;
    const double phi0;

private:
    detail::TransverseMercator series_;
};

// Black Sea 1975 normal heights to EVRF2007 and back by a tilted plane about a reference point;
// LAT and LON in decimal degrees. The two directions are exact inverses at the same LAT, LON.
class ConversorEVRF2007 {
public:
    ConversorEVRF2007();

    double HBlackSeeToHEVRF2007(double LAT, double LON, double hBlackSee) const;
    double HEVRF2007ToHBlackSee(double LAT, double LON, double hEVRF2007) const;

    const double sm_a;
    const double inv_f;
    const double LATo;
    const double LONo;
    const double a1; // offset, metres
    const double a2; // north-south tilt, arc seconds
    const double a3; // east-west tilt, arc seconds
    const double Mo;
    const double No;

private:
    struct Tilts {
        double northSouth;
        double eastWest;
    };
    Tilts TiltTerms(double LAT, double LON) const;
};

// The ETRS89 Lambert azimuthal equal-area grid (centre 52N 10E) on the given ellipsoid; angles
// in radians, x the easting and y the northing in metres.
class ConversorLAEA {
public:
    explicit ConversorLAEA(const Ellipsoid& ellipsoid = kGrs80);

    // (x, y) as (first, second).
    PlanePair BLtoXY(double br, double l) const;
    // At the exact projection centre the formulas have no value; the centre itself is returned.
    LatLon XYtoBL(double x, double y) const;

private:
    double q(double phi) const;

    double a_;
    double e2_;
    double e_;
    double qp_;
    double beta0_;
    double Rq_;
    double D_;
};

} // namespace velmora
