// velmora-demodata: writes the demonstration data set.
//
//   velmora-demodata OUTDIR [PRODUCT...]   write all products, or only those named
//   velmora-demodata --list                name and describe the products
//
// The output is deterministic: running it twice gives the same bytes. Only the files of the
// products are written; anything else in OUTDIR is left alone.

#include "Products.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::vector<velmora::demodata::Product> AllProducts()
{
    // In this order: each family reads what the ones before it wrote into the output directory.
    auto products = velmora::demodata::CorrectionGridProducts();
    for (const auto& family : {velmora::demodata::BucharestModelProducts(), velmora::demodata::SampleProducts()})
        products.insert(products.end(), family.begin(), family.end());
    return products;
}

int Usage()
{
    std::cerr << "usage: velmora-demodata OUTDIR [PRODUCT...]\n       velmora-demodata --list\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto products = AllProducts();
    if (args.size() == 1 && args[0] == "--list") {
        for (const auto& product : products)
            std::cout << product.name << "\t" << product.description << "\n";
        return 0;
    }
    if (args.empty() || args[0].starts_with("-"))
        return Usage();

    for (std::size_t k = 1; k < args.size(); ++k) {
        bool known = false;
        for (const auto& product : products)
            known = known || product.name == args[k];
        if (!known) {
            std::cerr << "velmora-demodata: unknown product " << args[k] << " (see --list)\n";
            return 2;
        }
    }
    // The products named (all when none is) run in the list's order, whatever the order of the
    // arguments, so that a product always reads the files of those before it as they now are.
    std::vector<const velmora::demodata::Product*> chosen;
    for (const auto& product : products)
        if (args.size() == 1 || std::find(args.begin() + 1, args.end(), product.name) != args.end())
            chosen.push_back(&product);

    try {
        const std::filesystem::path outDir = args[0];
        std::filesystem::create_directories(outDir);
        const velmora::demodata::ProjSession proj;
        const velmora::demodata::ProductContext context{outDir, proj};
        for (const auto* product : chosen)
            for (const auto& line : product->make(context))
                std::cout << line << "\n";
    } catch (const std::exception& e) {
        std::cerr << "velmora-demodata: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
