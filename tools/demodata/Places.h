// Places of the demonstration set, given in ETRS89: a few Romanian towns and places in Bucharest.
// The samples carry them in every command's source system; the Bucharest models take the places
// in Bucharest as the new points of their model-building sources.
#pragma once

#include <optional>
#include <vector>

namespace velmora::demodata {

// ETRS89 decimal degrees and, where the place carries one, the ellipsoidal height in metres.
struct Place {
    const char* name;
    double B;
    double L;
    std::optional<double> h;
};

inline const std::vector<Place> kWest = {
    {"TIMISOARA", 45.7489, 21.2087, 131.05},
    {"ORADEA", 47.0722, 21.9211, 166.3},
    {"CLUJ-NAPOCA", 46.7712, 23.6236, 401.78},
    {"CRAIOVA", 44.3302, 23.7949, std::nullopt},
};

inline const std::vector<Place> kEast = {
    {"BUCURESTI", 44.4268, 26.1025, 112.35},
    {"IASI", 47.1585, 27.6014, 129.44},
    {"CONSTANTA", 44.1733, 28.6383, 62.9},
    {"BRASOV", 45.6427, 25.5887, std::nullopt},
};

// Inside the zone of the Bucharest models.
inline const std::vector<Place> kBucharest = {
    {"UNIRII", 44.4268, 26.1025, 108.9},     {"VICTORIEI", 44.4522, 26.0861, 116.2},
    {"COTROCENI", 44.434, 26.063, 113.5},    {"OBOR", 44.45, 26.126, std::nullopt},
    {"TITAN", 44.416, 26.178, 106.7},        {"BERCENI", 44.368, 26.123, std::nullopt},
    {"BANEASA", 44.495, 26.08, 120.5},       {"MILITARI", 44.435, 26.005, 111.8},
};

// Outside the zone of the Bucharest models: inside the node grid but in its exterior, and
// beyond the node grid.
inline const std::vector<Place> kBucharestOutside = {
    {"BRAGADIRU", 44.371, 25.975, std::nullopt},
    {"OTOPENI", 44.55, 26.07, std::nullopt},
};

} // namespace velmora::demodata
