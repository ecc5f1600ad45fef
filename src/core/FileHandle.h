// Files opened the careful way, for every reader and writer of the program. A file is read only
// when it is a regular file (a link to one is followed): a directory, a FIFO or a device such as
// /dev/zero would fail, block the program or feed it without end. A file is written only when it
// is a regular file reached without a symbolic link, so a link planted under the name of a work
// or result file cannot send the program's output elsewhere. No open ever blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace velmora {

class FileHandle {
public:
    enum class Mode {
        Read,      // an existing file, read only
        Update,    // an existing file, read and write
        Replace,   // created, or emptied when it exists; read and write
        Append,    // created when missing; every write goes to the end
        CreateNew, // a file that does not exist yet, created here; read and write
    };

    // std::nullopt when the file cannot be opened in that mode or is not a regular file.
    static std::optional<FileHandle> Open(const std::filesystem::path& path, Mode mode);

    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    // The size of the file in bytes, now.
    std::uint64_t Size() const;
    // Up to count bytes from the current position; the number read (0 at the end of the file),
    // or std::nullopt when the system reports a failure.
    std::optional<std::size_t> Read(void* data, std::size_t count);
    // Exactly count bytes at offset; false on a failure or when the file ends first.
    bool ReadAt(std::uint64_t offset, void* data, std::size_t count);
    // All count bytes at the current position (at the end in Append mode); false on a failure.
    bool Write(const void* data, std::size_t count);
    // All count bytes at offset; false on a failure.
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t count);
    // Closes the file; false when the system reports a failure (of a delayed write, say).
    bool Close();

    // The system's descriptor, for locking.
    int Descriptor() const { return fd_; }

private:
    explicit FileHandle(int fd) : fd_(fd) {}

    int fd_ = -1;
};

} // namespace velmora
