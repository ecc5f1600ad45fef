// The source point files and their parsers. Two formats have one free title line (plane
// coordinates, or geodetic coordinates in degrees, minutes and seconds) and serve every visible
// command; two have four free header lines, a kind line, an ellipsoid line and sections of common
// ("PC") and new ("PN") points, and serve the model-building and conversion commands. A parser
// streams the source line by line into the record files of the command; every syntax error
// throws FatalError with its message, and the records written until then stay on disk.
//
// Where the one-line parsers put the columns, by transformation code:
//   '3', '8' (geodetic)      B -> sys1[0], L -> sys1[1] (radians), h; ellipsoids GRS80 to
//                            Krasovski 1942 ('3') or Hayford ('8')
//   '4', '6', '7' (plane)    x -> sys1[1], y -> sys1[0]; height except for '6'
//   '5', '9', 'e'..'h'       first -> sys1[0], second -> sys1[1]; height except for '5'
// Ellipsoid pairs of the plane codes: '4' and 'e'..'h' Krasovski 1942 to GRS80, '5' Hayford to
// Krasovski 1942, '6' Krasovski 1942 to Hayford, '9' Hayford to GRS80; '7' leaves the pair as it is.
// Every record starts from zero bytes with pointState 'N' and nodeIndex 1, 2, 3, 4; the four-line
// formats set coordKind to their kind letter, and hasHeight to 1 for kind 'G' (three values).
#pragma once

#include "files/PointRecord.h"
#include "files/RecordFile.h"
#include "files/TextFile.h"

#include <filesystem>

namespace velmora {

inline constexpr const char* kSourceInvalidMessage = "Eroare: Fisier cu date initiale invalid!";

// The record files a parse fills.
struct SourceTargets {
    std::filesystem::path newPoints;    // emptied by every parse
    std::filesystem::path commonPoints; // emptied by the four-line parsers only
    // Points set aside by the model-building sources (common points named "*...") and by the
    // quasigeoid source (code '7', points named "*..."). The command owns the file; a starred
    // point without it is a record I/O failure.
    PointFile* excludedPoints = nullptr;
    // The conversion commands keep every common point in the common-points file: the marks
    // "*", "#" and "&" set points aside only for the model-building commands.
    bool keepMarkedCommonPoints = false;
};

// "PNXYZ.REC" and "PCXYZ.REC" in workDir. The four-line parsers also write "felips.rec",
// "pcpol.rec" and "pcnoth.rec" beside the new-points file.
SourceTargets WorkFileTargets(const std::filesystem::path& workDir);

// The front ends: open the source, skip its header lines and run the parser the transformation
// code selects (the one-line parser of the front end's kind for the codes listed above, '4'..'7'
// and '9' for the plane one, '3'..'6', '8', '9' for the geodetic one; the four-line parser of
// the same kind otherwise). pointKind is the kind letter the four-line formats must declare.
// Return false, having touched nothing, when the source cannot be opened: the caller reports
// kSourceInvalidMessage and its own message.
[[nodiscard]] bool LoadPlaneSource(char transformationCode, char pointKind, const std::filesystem::path& sourcePath,
                                   const SourceTargets& targets, EllipsoidPair& ellipsoids);
[[nodiscard]] bool LoadGeodeticSource(char transformationCode, char pointKind,
                                      const std::filesystem::path& sourcePath, const SourceTargets& targets,
                                      EllipsoidPair& ellipsoids);

// The parsers read from the current position of source (after the header lines).
void ParsePlanePoints(TextReader& source, char transformationCode, const SourceTargets& targets,
                      EllipsoidPair& ellipsoids);
void ParseGeodeticPoints(TextReader& source, char transformationCode, const SourceTargets& targets,
                         EllipsoidPair& ellipsoids);
void ParseCommonNewPoints(TextReader& source, char pointKind, const SourceTargets& targets,
                          EllipsoidPair& ellipsoids);
void ParseGeodeticCommonNewPoints(TextReader& source, char pointKind, const SourceTargets& targets,
                                  EllipsoidPair& ellipsoids);

} // namespace velmora
