// The conversion classes of the European systems, each created for one step of one point:
// Transverse Mercator zones of ETRS-TMzn, EVRF2007 heights and the ETRS89 LAEA grid.
#pragma once

namespace velmora {

// ETRS-TMzn on GRS80: six-degree zones, scale 0.9996, false easting 500 km. Latitudes and
// longitudes in decimal degrees; North and East in metres.
class ConversorUTM {
public:
    ConversorUTM();

    // 0, or -1 when phi or lambda lies outside 0..84 degrees (North and East are then untouched).
    int MapLatLonToNE(double phi, double lambda, int zone, double& North, double& East) const;
    // Always writes phi and lambda; -1 when either lies outside 0..84 degrees, else 0.
    int MapNEToLatLon(double North, double East, int zone, double& phi, double& lambda) const;

    const double sm_a;
    const double inv_f;
    const double k0;
    const double E0;
    const double N0;
    const double phi0;
};

// Black Sea 1975 normal heights to EVRF2007 and back by a tilted plane about a reference point.
class ConversorEVRF2007 {
public:
    ConversorEVRF2007();

    int HBlackSeeToHEVRF2007(double LAT, double LON, double hBlackSee, double& hEVRF2007) const;
    int HEVRF2007ToHBlackSee(double LAT, double LON, double hEVRF2007, double& hBlackSee) const;

    const double sm_a;
    const double inv_f;
    const double LATo;
    const double LONo;
    const double a1;
    const double a2;
    const double a3;
    const double Mo;
    const double No;

private:
    struct Tilts {
        double northSouth;
        double eastWest;
    };
    Tilts TiltTerms(double LAT, double LON) const;
};

// ETRS89 Lambert azimuthal equal-area grid (centre 52N 10E); angles in radians.
class ConversorLAEA {
public:
    int BLtoXY(double a, double nf, double br, double l, double& x, double& y) const;
    // At the exact projection centre the formulas have no value; the centre itself is returned.
    int XYtoBL(double a, double nf, double x, double y, double& fi, double& la) const;
};

namespace detail {

// The Transverse Mercator formulas with every constant given: ellipsoid, scale, false origin,
// latitude of origin and central meridian (radians in, radians out).
struct TmConstants {
    double sm_a;
    double inv_f;
    double k0;
    double E0;
    double N0;
    double phi0;
};

void TmForward(const TmConstants& tm, double lambda0, double phi, double lambda, double& North,
               double& East);
void TmInverse(const TmConstants& tm, double lambda0, double North, double East, double& phi,
               double& lambda);

} // namespace detail
} // namespace velmora
