// A model-building run set up by hand for the estimation steps: a temporary work folder with a
// zeroed parameter file, an open drawing with its head, and the point files written directly.
#pragma once

#include "BuildingTestSupport.h"
#include "building/BuildRun.h"
#include "files/PointRecord.h"
#include "files/RecordFile.h"
#include "model/ModelParameters.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace velmora::test {

inline PointRecord MakeCommonPoint(const std::string& name, char kind, std::array<double, 3> first,
                                   std::array<double, 3> second)
{
    PointRecord point{};
    point.pointState = 'N';
    point.coordKind = kind;
    point.name.Assign(name);
    point.sys1 = first;
    point.sys2 = second;
    point.nodeIndex = {1, 2, 3, 4};
    point.hasHeight = kind == 'G' ? 1 : 0;
    return point;
}

inline PointRecord MakeNewPoint(const std::string& name, char kind, std::array<double, 3> first)
{
    return MakeCommonPoint(name, kind, first, {});
}

class EstimationRun {
public:
    EstimationRun()
    {
        run.workDir = dir.Path();
        run.sourcePath = dir / "MODEL.txt";
        run.parameterPath = dir / "MODEL.PAR";
        run.drawingPath = dir / "MODEL.DXF";
        WriteBytes(run.parameterPath, std::string(4552, '\0'));
        run.drawing.emplace(run.drawingPath);
        run.drawing->WriteDxfHead();
        run.scale = 1000.0;
        run.labelHeight = 2.5;
        run.targetRadius = 1.0;
    }

    std::filesystem::path Path(const std::string& name) const { return dir / name; }
    void WriteCommon(const std::vector<PointRecord>& points) const { WritePoints(Path("PCOMUNE.REC"), points); }
    void WriteNew(const std::vector<PointRecord>& points) const { WritePoints(Path("PNOI.REC"), points); }
    std::vector<PointRecord> Common() const { return ReadPoints(Path("PCOMUNE.REC")); }
    std::vector<PointRecord> New() const { return ReadPoints(Path("PNOI.REC")); }
    std::string Report() const { return ReadBytes(Path("REZULT.TXT")); }

    ModelParameterRecord Parameters(int index = 0) const
    {
        ModelParameterRecord record{};
        const std::string bytes = ReadBytes(run.parameterPath);
        if (bytes.size() >= 4552u * static_cast<unsigned>(index + 1))
            std::memcpy(&record, bytes.data() + 4552 * index, sizeof record);
        return record;
    }

    // The drawing as written so far.
    std::string Drawing()
    {
        run.drawing->WriteDxfEnd();
        return ReadBytes(run.drawingPath);
    }

    TempDir dir;
    BuildRun run;
};

// The report's lines, without their CR LF ends.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace velmora::test
