// The result file of the commands that go through the transformation dispatcher: the source's
// title line, one line per point record in record order, and "ENDF" without a line end; lines
// end in CR LF. It is a valid source for the inverse command.
//   plane output (codes '3', '8', 'e'..'h'):  name, ", " result[0]:11:3 ", " result[1]:11:3
//                                             ", " result[2]:8:3   or   ", fara_cota"
//   geodetic output (codes '4', '9'):         name, "," angle(B) "N," angle(L) "E"
//                                             ", " result[2]:9:3   or   ", fara_cota"
// with B = result[0] and L = result[1] in decimal degrees, written in the degree-sign form. Other
// codes get no point lines.
#pragma once

#include "files/PointRecord.h"
#include "files/TextFile.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kSourceIoMessage = "Eroare I/O fisier sursa!";
inline constexpr const char* kResultIoMessage = "Eroare I/O fisier rezultat!";

// What the point lines of a transformation code's result hold.
enum class OutputKind { None, Plane, Geodetic };
OutputKind OutputKindOf(char transformationCode);

// The first line of the source, which heads the result; throws FatalError(kSourceIoMessage)
// when the source cannot be opened.
std::string ReadTitleLine(const std::filesystem::path& sourcePath);

// Writes a result file point by point, as the points are transformed: the title line on
// creation, one line per Add, "ENDF" on Finish. Throws FatalError(kResultIoMessage) when the file
// cannot be created or written.
class ResultFileWriter {
public:
    ResultFileWriter(char transformationCode, const std::filesystem::path& resultPath, std::string_view title);
    void Add(const PointRecord& record);
    void Finish();

private:
    OutputKind kind_;
    TextWriter result_;
    std::string line_;
};

// Throws FatalError: kSourceIoMessage when the source cannot be opened, the record layer's message
// when the new-points file cannot be opened or read, kResultIoMessage when the result file cannot
// be created or written (the records and the partial result stay on disk).
void WriteResultFile(char transformationCode, const std::filesystem::path& newPointsPath,
                     const std::filesystem::path& sourcePath, const std::filesystem::path& resultPath);

} // namespace velmora
