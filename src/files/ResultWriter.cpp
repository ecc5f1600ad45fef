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

} // namespace

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

namespace {

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

std::string ReadTitleLine(const std::filesystem::path& sourcePath)
{
    TextReader source(sourcePath);
    if (!source.IsOpen()) {
        throw FatalError(kSourceIoMessage);
    }
    std::string title;
    source.ReadLine(title);
    return title;
}

ResultFileWriter::ResultFileWriter(char transformationCode, const std::filesystem::path& resultPath,
                                   std::string_view title)
    : kind_(OutputKindOf(transformationCode)), result_(resultPath)
{
    if (!result_.IsOpen()) {
        throw FatalError(kResultIoMessage);
    }
    result_.Write(title);
    result_.Write(kLineEnd);
}

void ResultFileWriter::Add(const PointRecord& record)
{
    if (kind_ == OutputKind::None) {
        return;
    }
    line_.clear();
    AppendPointLine(line_, kind_, record);
    result_.Write(line_);
}

void ResultFileWriter::Finish()
{
    result_.Write("ENDF");
    if (!result_.Close()) {
        throw FatalError(kResultIoMessage);
    }
}

void WriteResultFile(char transformationCode, const std::filesystem::path& newPointsPath,
                     const std::filesystem::path& sourcePath, const std::filesystem::path& resultPath)
{
    const std::string title = ReadTitleLine(sourcePath);
    PointFile points = PointFile::OpenForUpdate(newPointsPath);
    ResultFileWriter result(transformationCode, resultPath, title);
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        result.Add(points.Read(k));
    }
    result.Finish();
    points.Close();
}

} // namespace velmora
