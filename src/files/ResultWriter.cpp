#include "files/ResultWriter.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/TextFile.h"

#include <string>

namespace velmora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kWithoutHeight = ", fara_cota";

enum class OutputKind { None, Plane, Geodetic };

OutputKind OutputKindOf(char code)
{
    switch (code) {
    case '3':
    case '8':
    case 'e':
    case 'f':
    case 'g':
    case 'h':
        return OutputKind::Plane;
    case '4':
    case '9':
        return OutputKind::Geodetic;
    default:
        return OutputKind::None;
    }
}

void AppendPointLine(std::string& line, OutputKind kind, const PointRecord& record)
{
    const bool withHeight = record.hasHeight != 0;
    line.append(record.name.View());
    if (kind == OutputKind::Plane) {
        line.append(", ");
        AppendFixed(line, record.result[0], 11, 3);
        line.append(", ");
        AppendFixed(line, record.result[1], 11, 3);
        if (withHeight) {
            line.append(", ");
            AppendFixed(line, record.result[2], 8, 3);
        }
    } else {
        line.push_back(',');
        AppendAngleText(line, record.result[0] * 3600.0, AngleForm::DegreeSign);
        line.append("N,");
        AppendAngleText(line, record.result[1] * 3600.0, AngleForm::DegreeSign);
        line.push_back('E');
        if (withHeight) {
            line.append(", ");
            AppendFixed(line, record.result[2], 9, 3);
        }
    }
    if (!withHeight) {
        line.append(kWithoutHeight);
    }
    line.append(kLineEnd);
}

} // namespace

void WriteResultFile(char transformationCode, const std::filesystem::path& newPointsPath,
                     const std::filesystem::path& sourcePath, const std::filesystem::path& resultPath)
{
    std::string title;
    {
        TextReader source(sourcePath);
        if (!source.IsOpen()) {
            throw FatalError(kSourceIoMessage);
        }
        source.ReadLine(title);
    }
    PointFile points = PointFile::OpenForUpdate(newPointsPath);
    TextWriter result(resultPath);
    if (!result.IsOpen()) {
        throw FatalError(kResultIoMessage);
    }
    result.Write(title);
    result.Write(kLineEnd);

    const OutputKind kind = OutputKindOf(transformationCode);
    if (kind != OutputKind::None) {
        std::string line;
        for (std::uint64_t k = 0; k < points.Size(); ++k) {
            line.clear();
            AppendPointLine(line, kind, points.Read(k));
            result.Write(line);
        }
    }
    result.Write("ENDF");
    const bool written = result.Close();
    points.Close();
    if (!written) {
        throw FatalError(kResultIoMessage);
    }
}

} // namespace velmora
