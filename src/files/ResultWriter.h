// The result text files of the transformation commands: the source's title line, one line per
// point record in record order, and "ENDF" without a line end; lines end in CR LF. A result of
// the dispatcher's layouts is a valid source for the inverse command. The point lines:
//   Plane:            name ", " result[0]:11:3 ", " result[1]:11:3 ", " result[2]:8:3
//                     (", fara_cota" in place of the height when the point has none)
//   Geodetic:         name "," angle(B) "N," angle(L) "E" ", " result[2]:9:3   (or ", fara_cota")
//                     with B = result[0] and L = result[1] in decimal degrees, degree-sign form
//   ModelNorthFirst:  name ", " North:10:3 ", " East:10:3, the final coordinates of the distortion
//   ModelEastFirst:   model (modelWork2[4] North, [3] East) of a point inside its grid (state 'D');
//                     name " - exterior gridului de distorsiuni" for any other point
#pragma once

#include "files/PointRecord.h"
#include "files/TextFile.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kSourceIoMessage = "Eroare I/O fisier sursa!";
inline constexpr const char* kResultIoMessage = "Eroare I/O fisier rezultat!";

enum class ResultLayout { Plane, Geodetic, ModelNorthFirst, ModelEastFirst };

// Appends the point line of the record, with its CR LF.
void AppendResultLine(std::string& line, ResultLayout layout, const PointRecord& record);

// The first line of the source, which heads the result; throws FatalError(kSourceIoMessage)
// when the source cannot be opened.
std::string ReadTitleLine(const std::filesystem::path& sourcePath);

// Writes a result file point by point, as the points are transformed: the title line on
// creation, one line per Add, "ENDF" on Finish. Throws FatalError(kResultIoMessage) when the file
// cannot be created or written.
class ResultFileWriter {
public:
    ResultFileWriter(ResultLayout layout, const std::filesystem::path& resultPath, std::string_view title);
    void Add(const PointRecord& record);
    void Finish();

private:
    ResultLayout layout_;
    TextWriter result_;
    std::string line_;
};

} // namespace velmora
