// A file written under a temporary name beside its final name and moved over it once complete,
// so that a failure never costs the user an earlier file of that name. The temporary name is
// random and the file is created there exclusively, never through a symbolic link: it can be no
// file that exists already, not the command's source, not a file another command is writing, not
// the target of a planted link.
#pragma once

#include <filesystem>
#include <optional>

namespace velmora {

class PendingFile {
public:
    // Creates the empty temporary file in the folder of target; std::nullopt when the folder
    // takes no new file.
    static std::optional<PendingFile> Create(const std::filesystem::path& target);

    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    // Removes the temporary file unless it was committed.
    ~PendingFile();

    // Where to write: open it with a writer that replaces it (files/TextFile.h, RecordFile.h).
    const std::filesystem::path& Path() const { return path_; }
    // Moves the file over target; false when the system refuses, the temporary file is then
    // removed.
    bool Commit();

private:
    PendingFile(std::filesystem::path target, std::filesystem::path path)
        : target_(std::move(target)), path_(std::move(path))
    {
    }

    std::filesystem::path target_;
    std::filesystem::path path_; // empty once committed or moved from
};

} // namespace velmora
