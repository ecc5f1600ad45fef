// Text files as bytes (Windows-1252 in practice): a line reader that takes LF, CR LF and a
// missing last line end alike and skips a UTF-8 byte order mark at the start, and a buffered
// writer that leaves every line end to its caller. Lines have no length limit; only the current
// line and one block of the file are held in memory. Both open their files through FileHandle:
// the reader only a regular file, the writer never through a symbolic link.
#pragma once

#include "core/FileHandle.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class TextReader {
public:
    explicit TextReader(const std::filesystem::path& path);

    bool IsOpen() const { return file_.has_value(); }
    const std::filesystem::path& Path() const { return path_; }

    // The next line without its line end. At the end of the file returns false and leaves line
    // empty, so a missing line reads as an empty one.
    bool ReadLine(std::string& line);
    // The number of the line ReadLine gave last, from 1; 0 before the first.
    std::uint64_t LineNumber() const { return lineNumber_; }

private:
    bool Fill();

    std::filesystem::path path_;
    std::optional<FileHandle> file_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool started_ = false;
    std::uint64_t lineNumber_ = 0;
};

class TextWriter {
public:
    enum class Mode {
        Replace, // creates the file, replacing an existing one
        Append,  // writes after the end of an existing file (creating it when missing)
    };

    explicit TextWriter(const std::filesystem::path& path, Mode mode = Mode::Replace);
    ~TextWriter();

    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    bool IsOpen() const { return file_.has_value(); }
    void Write(std::string_view text);
    // Writes what is buffered and closes the file; false when any write since opening failed.
    bool Close();

private:
    void Flush();

    std::optional<FileHandle> file_;
    std::string buffer_;
    bool ok_;
};

} // namespace velmora
