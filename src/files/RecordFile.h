// Typed files of fixed-size records: the medium between the steps of a command. A file is
// created (or emptied) or opened for update; records are read and written by number, or
// appended. Records are buffered in a window, so sequential reading, rewriting in place and
// appending touch the disk in large blocks. Record files are work files: they are opened only as
// regular files reached without a symbolic link (core/FileHandle.h). Every failure (a file that
// cannot be opened so, a record beyond the end, a short read or write, a file that is not a whole
// number of records) throws FatalError with the record layer's message.
#pragma once

#include "files/FatalError.h"
#include "files/PointRecord.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <type_traits>

namespace velmora {

inline constexpr const char* kRecordIoMessage = "Eroare I/O fisier tip record!";

// The untyped core: records are byte images of recordSize bytes.
class RecordStore {
public:
    enum class Mode { Create, Update };

    RecordStore(const std::filesystem::path& path, std::size_t recordSize, Mode mode);
    RecordStore(RecordStore&&) noexcept;
    RecordStore& operator=(RecordStore&&) noexcept;
    // Writes what is still buffered; a failure there can no longer be reported, so callers that
    // care call Close.
    ~RecordStore();

    std::uint64_t Size() const;
    void Read(std::uint64_t index, void* record);
    // index may be Size(): the record is appended.
    void Write(std::uint64_t index, const void* record);
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

template <class Record>
class RecordFile {
    static_assert(std::is_trivially_copyable_v<Record>);

public:
    // Creates the file, or empties an existing one.
    static RecordFile Create(const std::filesystem::path& path) { return RecordFile(path, RecordStore::Mode::Create); }
    // Opens an existing file for reading and writing.
    static RecordFile OpenForUpdate(const std::filesystem::path& path)
    {
        return RecordFile(path, RecordStore::Mode::Update);
    }

    std::uint64_t Size() const { return store_.Size(); }

    Record Read(std::uint64_t index)
    {
        Record record;
        store_.Read(index, &record);
        return record;
    }

    void Write(std::uint64_t index, const Record& record) { store_.Write(index, &record); }
    void Append(const Record& record) { store_.Write(store_.Size(), &record); }
    // Writes the buffered records and closes the file; reports a failure of either.
    void Close() { store_.Close(); }

private:
    RecordFile(const std::filesystem::path& path, RecordStore::Mode mode) : store_(path, sizeof(Record), mode) {}

    RecordStore store_;
};

using PointFile = RecordFile<PointRecord>;
using EllipsoidFile = RecordFile<EllipsoidPair>;

} // namespace velmora
