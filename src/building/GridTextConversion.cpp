#include "building/GridTextConversion.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/SourceScan.h"
#include "files/TextFile.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

namespace {

using GridPair = std::array<double, 2>;

constexpr int kFreeLines = 4;
// More nodes than any grid's node indices can number is no count at all.
constexpr double kMaxNodeCount = 2147483647.0;

class GridTextReader {
public:
    explicit GridTextReader(const std::filesystem::path& path) : path_(path), reader_(path)
    {
        if (!reader_.IsOpen()) {
            throw FatalError("Eroare: fisierul grid text " + path_.string() + " nu poate fi deschis!");
        }
    }

    void SkipLine() { Next(); }

    // The first count numbers of the next line.
    template <std::size_t Count>
    std::array<double, Count> Numbers()
    {
        const bool present = Next();
        LineScanner scanner(line_);
        std::array<double, Count> values{};
        for (double& value : values) {
            if (!present || !ParseDecimal(scanner.NumberRun().text, value)) {
                throw FatalError("Eroare: fisierul grid text " + path_.string()
                                 + " are o valoare lipsa sau nenumerica la randul " + std::to_string(lineNumber_)
                                 + "!");
            }
        }
        return values;
    }

    double Number() { return Numbers<1>()[0]; }

private:
    bool Next()
    {
        ++lineNumber_;
        return reader_.ReadLine(line_);
    }

    std::filesystem::path path_;
    TextReader reader_;
    std::string line_;
    std::uint64_t lineNumber_ = 0;
};

} // namespace

std::filesystem::path BinaryGridPath(const std::filesystem::path& nodeGridPath)
{
    std::filesystem::path binary = nodeGridPath;
    binary.replace_filename(nodeGridPath.stem().string() + "J.GRD");
    return binary;
}

std::filesystem::path ConvertGridTextToBinary(const std::filesystem::path& gridTextPath,
                                              const std::filesystem::path& nodeGridPath, int valuesPerNode)
{
    GridTextReader text(gridTextPath);
    for (int k = 0; k < kFreeLines; ++k) {
        text.SkipLine();
    }
    // minE, maxE, minN, maxN, stepE, stepN, node count, dimensions: each on the line after its label.
    std::array<double, 8> header{};
    for (double& value : header) {
        text.SkipLine();
        value = text.Number();
    }
    text.SkipLine(); // the column order
    const double count = std::nearbyint(header[6]);
    if (!(count >= 0.0 && count <= kMaxNodeCount)) {
        throw FatalError("Eroare: fisierul grid text " + gridTextPath.string() + " are un numar de noduri invalid!");
    }

    // Read whole before anything is written: a short file leaves no half grid behind. The records
    // are the header's pairs, then each node's values, one double after the other.
    std::vector<double> values(header.begin(), header.begin() + 6);
    for (auto k = static_cast<std::int64_t>(count); k > 0; --k) {
        if (valuesPerNode == 1) {
            values.push_back(text.Number());
        } else {
            const GridPair pair = text.Numbers<2>();
            values.insert(values.end(), pair.begin(), pair.end());
        }
    }

    const std::filesystem::path binaryPath = BinaryGridPath(nodeGridPath);
    RecordFile<double> binary = RecordFile<double>::Create(binaryPath);
    for (const double value : values) {
        binary.Append(value);
    }
    binary.Close();
    return binaryPath;
}

} // namespace velmora
