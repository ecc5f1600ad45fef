// The data files of a distortion model (the node grid and the parameter file) as the model reads
// them: read-only files of fixed-size records. Opening one checks it before anything is read, so
// a missing, empty, short or ragged file ends the command with a message that names the file and
// says what is wrong with it, instead of a read failing somewhere later.
#pragma once

#include "core/FileHandle.h"
#include "files/FatalError.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// How the messages name the two kinds of model file.
inline constexpr std::string_view kNodeGridFileKind = "grid";
inline constexpr std::string_view kParameterFileKind = "de parametri";

// "Eroare: fisierul <kind> <path> <problem>!"
FatalError ModelFileError(std::string_view fileKind, const std::filesystem::path& path, std::string_view problem);

class ModelFileReader {
public:
    // Opens the file for reading; throws ModelFileError when it cannot be opened, is not a regular
    // file, is empty, is shorter than one record or does not hold a whole number of records.
    ModelFileReader(const std::filesystem::path& path, std::size_t recordSize, std::string_view fileKind);

    std::uint64_t Size() const { return size_; }

    // Reads the next count records into records; a failing read is reported like a bad file.
    void ReadNext(void* records, std::size_t count);

private:
    std::filesystem::path path_;
    std::string fileKind_;
    std::size_t recordSize_;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0; // bytes read so far
    std::optional<FileHandle> file_;
};

} // namespace velmora
