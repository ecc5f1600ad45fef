// The demonstration data set as a list of products. Each product writes its own files into the
// output directory and touches nothing else there; a family of products (the correction grids,
// the Bucharest models, the sample files) is one function returning its list.
#pragma once

#include "Proj.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmora::demodata {

struct ProductContext {
    std::filesystem::path outDir;
    const ProjSession& proj;
};

struct Product {
    std::string name;        // as given on the command line
    std::string description; // one line for --list
    // Writes the product's files; returns one log line per file. Throws std::runtime_error.
    std::function<std::vector<std::string>(const ProductContext&)> make;
};

// "EGG97_QGRJ.GRD", "zitaBucx.grd", "ETRS89_KRASOVSCHI42_2DJ.GRD", "ETRS89_Stereo30_2DJ.GRD".
std::vector<Product> CorrectionGridProducts();

// "Stereo30_Stereo70_2D.GRD/.PAR", "Stereo70_Stereo30_2D.GRD/.PAR", built by the program's own
// model building from the sources "Stereo30_Stereo70_2D.txt", "Stereo70_Stereo30_2D.txt" that
// they write first, with the other outputs of each run in models/; they read the correction
// grids in the output directory.
std::vector<Product> BucharestModelProducts();

// The sample source files in samples/ and their results by velmora-cli; they read the grids and
// models in the output directory.
std::vector<Product> SampleProducts();

} // namespace velmora::demodata
