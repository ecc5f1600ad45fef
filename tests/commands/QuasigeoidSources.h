// A synthetic quasigeoid model-building source: a global model's zeta and a planted field of
// corrections that the known zeta adds to it, at common points on a jittered lattice (one set
// aside with "*"), and new points inside and outside the zone.
#pragma once

#include "files/NumberText.h"

#include <cmath>
#include <string>
#include <tuple>

namespace velmora::test {

// The correction that the model has to find: what the known zeta adds to the global model's.
inline double PlantedCorrection(double L, double B)
{
    return 0.25 + 0.12 * (L - 24.6) - 0.08 * (B - 45.5) + 0.03 * (L - 24.6) * (B - 45.5);
}

// The global model's zeta at a place.
inline double GlobalZeta(double L, double B)
{
    return 30.0 + 1.5 * (L - 24.0) - 0.7 * (B - 45.0);
}

// Small deterministic noise, up to a millimetre.
inline double Noise(int k)
{
    return 0.001 * std::sin(12.9898 * k);
}

inline std::string Fixed(double value, int decimals)
{
    return FormatFixed(value, 0, decimals);
}

// A geographic model-building source over L 24..25.2, B 45..46 with a grid of 0.1 degrees:
// common points on a jittered lattice, one of them set aside ("*"), and new points inside and
// outside the zone.
inline std::string SyntheticSource()
{
    std::string text = "Model cvasigeoid de proba\r\nL, B, zita\r\nSistem 1: model global\r\nSistem 2: zita cunoscut\r\n"
                       "SC\r\n10\r\nPAS\r\n0.1, 0.1\r\nC\r\n"
                       "K1, 24.0, 45.0\r\nK2, 25.2, 45.0\r\nK3, 25.2, 46.0\r\nK4, 24.0, 46.0\r\nEND\r\n"
                       "G\r\n6378137, 298.257222101, 6378137, 298.257222101\r\nPC\r\n";
    int k = 0;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 6; ++j, ++k) {
            const double L = 24.07 + 0.15 * i + 0.01 * std::sin(k);
            const double B = 45.08 + 0.16 * j + 0.01 * std::cos(k);
            const double z1 = GlobalZeta(L, B);
            const double z2 = z1 + PlantedCorrection(L, B) + Noise(k);
            text += (k == 20 ? "*C" : "C") + std::to_string(k) + ", " + Fixed(L, 7) + ", " + Fixed(B, 7) + ", " +
                    Fixed(z1, 4) + ", " + Fixed(L, 7) + ", " + Fixed(B, 7) + ", " + Fixed(z2, 4) + "\r\n";
        }
    }
    text += "END\r\nPN\r\n";
    for (const auto& [name, L, B] : {std::tuple{"N1", 24.55, 45.45}, std::tuple{"N2", 24.9, 45.77},
                                     std::tuple{"N3", 24.31, 45.23}, std::tuple{"AFARA", 26.5, 45.5}}) {
        text += std::string(name) + ", " + Fixed(L, 7) + ", " + Fixed(B, 7) + ", " + Fixed(GlobalZeta(L, B), 4) + "\r\n";
    }
    return text + "END\r\nENDF\r\n";
}

} // namespace velmora::test
