#include "building/Quasigeoid.h"

#include "building/GridTextConversion.h"
#include "core/Geodesy.h"
#include "core/Stereo70.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/PendingFile.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/TextFile.h"
#include "model/GridCells.h"
#include "model/GridInterpolation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

namespace velmora {

namespace fs = std::filesystem;

std::optional<std::array<double, 3>> LeadingThreeNumbers(std::string_view line)
{
    std::array<double, 3> values{};
    std::size_t pos = 0;
    for (double& value : values) {
        pos = line.find_first_not_of(" \t,", pos);
        if (pos == std::string_view::npos)
            return std::nullopt;
        const std::size_t end = std::min(line.find_first_of(" \t,", pos), line.size());
        if (!ParseDecimal(line.substr(pos, end - pos), value))
            return std::nullopt;
        pos = end;
    }
    return values;
}

namespace {

constexpr const char* kLineEnd = "\r\n";

// The node grid opened for update, or std::nullopt when it cannot be opened as a record file.
std::optional<PointFile> OpenNodeGrid(const fs::path& path)
{
    try {
        return PointFile::OpenForUpdate(path);
    } catch (const FatalError&) {
        return std::nullopt;
    }
}


// The zeta of every node, or std::nullopt when the file runs short or a line cannot be read.
std::optional<std::vector<double>> ReadZitaFile(TextReader& zita, std::uint64_t nodes)
{
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(nodes));
    std::string line;
    while (values.size() < nodes) {
        if (!zita.ReadLine(line))
            return std::nullopt;
        const auto numbers = LeadingThreeNumbers(line);
        if (!numbers)
            return std::nullopt;
        values.push_back((*numbers)[2]);
    }
    return values;
}

// The head of the grid text file: its first lines, empty ones where it has fewer.
std::string GridTextHead(TextReader& gridText)
{
    std::string head;
    std::string line;
    for (int k = 0; k < kGridTextHeadLines; ++k) {
        gridText.ReadLine(line);
        head.append(line).append(kLineEnd);
    }
    return head;
}

// Writes text to a temporary file beside path and puts it in path's place.
void ReplaceFile(const fs::path& path, std::string_view text)
{
    auto pending = PendingFile::Create(path);
    if (!pending)
        throw FatalError(kResultIoMessage);
    TextWriter file(pending->Path());
    file.Write(text);
    if (!file.IsOpen() || !file.Close() || !pending->Commit())
        throw FatalError(kResultIoMessage);
}

// A point on the grid's last column or row, or beyond it within the tolerance: its cell has no
// nodes past it, and the normal-height conversion takes no zeta there.
bool OnLastGridLine(const PointRecord& point, const GridGeometry& g)
{
    return std::trunc((point.result[0] - g.x0) / g.step) >= static_cast<double>(g.nX - 1)
           || std::trunc((point.result[1] - g.y0) / g.step) >= static_cast<double>(g.nY - 1);
}

} // namespace

void PlaceGeodeticPoint(PointRecord& point)
{
    point.result[0] = RadToDeg(point.sys1[1]);
    point.result[1] = RadToDeg(point.sys1[0]);
}

void SubtractQuasigeoidHeights(const NodeGrid& grid, const fs::path& pointsPath)
{
    {
        PointFile points = PointFile::OpenForUpdate(pointsPath);
        for (std::uint64_t k = 0; k < points.Size(); ++k) {
            PointRecord point = points.Read(k);
            PlaceGeodeticPoint(point);
            points.Write(k, point);
        }
        points.Close();
    }
    AssignGridCells(pointsPath, grid, false, nullptr);
    PointFile points = PointFile::OpenForUpdate(pointsPath);
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        point.residual[2] = 0.0;
        if (point.pointState == 'D' && !OnLastGridLine(point, grid.Geometry()))
            InterpolateBicubic(point, grid, kQuasigeoidSignal);
        point.modelWork1[2] = point.residual[2];
        point.sys1[2] -= point.residual[2];
        points.Write(k, point);
    }
    points.Close();
}

std::optional<std::string> ExportGridNodesForEgg(const fs::path& nodeGridPath, bool plane, const fs::path& workDir)
{
    std::optional<PointFile> nodes = OpenNodeGrid(nodeGridPath);
    if (!nodes)
        return kGridOpenMessage;
    TextWriter list(workDir / kNodeListName);
    if (!list.IsOpen())
        throw FatalError(kResultIoMessage);
    if (nodes->Size() == 0)
        return kGridEmptyMessage;
    std::string line;
    for (std::uint64_t k = 0; k < nodes->Size(); ++k) {
        const PointRecord node = nodes->Read(k);
        double B = node.sys1[1];
        double L = node.sys1[0];
        if (plane) {
            const LatLon g = StereoInverse(kGrs80.a, kGrs80.invF, node.sys1[0], node.sys1[1]);
            B = RadToDeg(g.phi);
            L = RadToDeg(g.lambda);
        }
        line.clear();
        AppendFixed(line, static_cast<double>(k + 1), 9, 0);
        line.push_back(' ');
        AppendFixed(line, B, 9, 6);
        line.push_back(' ');
        AppendFixed(line, L, 9, 6);
        line.append(kLineEnd);
        list.Write(line);
    }
    if (!list.Close())
        throw FatalError(kResultIoMessage);
    return std::nullopt;
}

std::optional<std::string> LoadZitaIntoGrid(const fs::path& zitaPath, const fs::path& nodeGridPath)
{
    fs::path gridTextPath = nodeGridPath;
    gridTextPath.replace_extension(".GRT");
    TextReader gridText(gridTextPath);
    if (!gridText.IsOpen())
        return kGridTextOpenMessage;
    TextReader zitaFile(zitaPath);
    if (!zitaFile.IsOpen())
        return kZitaOpenMessage;
    std::optional<PointFile> nodes = OpenNodeGrid(nodeGridPath);
    if (!nodes)
        return kGridOpenMessage;
    if (nodes->Size() == 0)
        return kGridEmptyMessage;
    const std::optional<std::vector<double>> zita = ReadZitaFile(zitaFile, nodes->Size());
    if (!zita)
        return kZitaReadMessage;

    std::string text = GridTextHead(gridText);
    for (std::uint64_t k = 0; k < nodes->Size(); ++k) {
        PointRecord node = nodes->Read(k);
        node.residual[2] += (*zita)[k];
        nodes->Write(k, node);
        AppendFixed(text, node.pointState == 'E' ? 999.0 : node.residual[2], 11, 6);
        text.append(kLineEnd);
    }
    nodes->Close();
    ReplaceFile(gridTextPath, text);
    try {
        ConvertGridTextToBinary(gridTextPath, nodeGridPath, 1);
    } catch (const FatalError& error) {
        // A grid text file whose head is not a grid's: the loaded values stay, the binary grid
        // is not written, and the program goes on like after the other failures here.
        return error.what();
    }
    return std::nullopt;
}

} // namespace velmora
