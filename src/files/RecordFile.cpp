#include "files/RecordFile.h"

#include "core/FileHandle.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace velmora {

namespace {

// Bytes buffered per file: large enough that streaming a file costs a few system calls per
// megabyte, small enough that a command holding several files stays within a few megabytes.
constexpr std::size_t kWindowBytes = 256 * 1024;

[[noreturn]] void Fail()
{
    throw FatalError(kRecordIoMessage);
}

} // namespace

struct RecordStore::Impl {
    std::optional<FileHandle> file;
    std::size_t recordSize = 0;
    std::size_t capacity = 0;        // records in a full window
    std::vector<char> window;        // grows to the capacity only for files that need it
    std::uint64_t windowFirst = 0;   // record number of the window's first record
    std::uint64_t windowCount = 0;   // records held in the window
    bool dirty = false;
    std::uint64_t size = 0;          // records in the file, including buffered appends

    bool InWindow(std::uint64_t index) const { return index >= windowFirst && index - windowFirst < windowCount; }

    std::uint64_t Offset(std::uint64_t index) const { return index * recordSize; }

    // Writes the window back when it holds changes; false when the system refused.
    bool TryFlush()
    {
        if (!dirty) {
            return true;
        }
        if (!file->WriteAt(Offset(windowFirst), window.data(), static_cast<std::size_t>(windowCount) * recordSize)) {
            return false;
        }
        dirty = false;
        return true;
    }

    void Flush()
    {
        if (!TryFlush()) {
            Fail();
        }
    }

    void Reserve(std::uint64_t records)
    {
        const auto bytes = static_cast<std::size_t>(records) * recordSize;
        if (window.size() < bytes) {
            window.resize(std::max(bytes, std::min(2 * window.size(), capacity * recordSize)));
        }
    }

    // Makes the window start at index with as many stored records as fit.
    void Load(std::uint64_t index)
    {
        Flush();
        windowFirst = index;
        windowCount = std::min<std::uint64_t>(capacity, size - index);
        if (windowCount == 0) {
            return;
        }
        Reserve(windowCount);
        if (!file->ReadAt(Offset(index), window.data(), static_cast<std::size_t>(windowCount) * recordSize)) {
            windowCount = 0;
            Fail();
        }
    }

    char* Slot(std::uint64_t index) { return window.data() + (index - windowFirst) * recordSize; }
};

RecordStore::RecordStore(const std::filesystem::path& path, std::size_t recordSize, Mode mode)
    : impl_(std::make_unique<Impl>())
{
    Impl& impl = *impl_;
    impl.recordSize = recordSize;
    impl.capacity = std::max<std::size_t>(1, kWindowBytes / recordSize);
    // The window is the only buffer: blocks go straight to the system.
    impl.file = FileHandle::Open(path, mode == Mode::Create ? FileHandle::Mode::Replace : FileHandle::Mode::Update);
    if (!impl.file) {
        Fail();
    }
    const std::uint64_t bytes = impl.file->Size();
    if (bytes % recordSize != 0) {
        Fail();
    }
    impl.size = bytes / recordSize;
}

RecordStore::RecordStore(RecordStore&&) noexcept = default;
RecordStore& RecordStore::operator=(RecordStore&&) noexcept = default;

RecordStore::~RecordStore()
{
    if (impl_ && impl_->file) {
        // Nothing is left to report a failure to: the caller is unwinding or did not ask for Close.
        static_cast<void>(impl_->TryFlush());
    }
}

std::uint64_t RecordStore::Size() const
{
    return impl_->size;
}

void RecordStore::Read(std::uint64_t index, void* record)
{
    Impl& impl = *impl_;
    if (!impl.file || index >= impl.size) {
        Fail();
    }
    if (!impl.InWindow(index)) {
        impl.Load(index);
    }
    std::memcpy(record, impl.Slot(index), impl.recordSize);
}

void RecordStore::Write(std::uint64_t index, const void* record)
{
    Impl& impl = *impl_;
    if (!impl.file || index > impl.size) {
        Fail();
    }
    const bool extendsWindow = index == impl.size && index == impl.windowFirst + impl.windowCount
                               && impl.windowCount < impl.capacity;
    if (!impl.InWindow(index) && !extendsWindow) {
        impl.Load(index);
    }
    if (index == impl.windowFirst + impl.windowCount) {
        impl.Reserve(impl.windowCount + 1);
        ++impl.windowCount;
        ++impl.size;
    }
    std::memcpy(impl.Slot(index), record, impl.recordSize);
    impl.dirty = true;
}

void RecordStore::Close()
{
    Impl& impl = *impl_;
    if (!impl.file) {
        return;
    }
    const bool flushed = impl.TryFlush();
    const bool closed = impl.file->Close();
    impl.file.reset();
    if (!closed || !flushed) {
        Fail();
    }
}

} // namespace velmora
