#include "core/FileHandle.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

int OpenFlags(FileHandle::Mode mode)
{
    // O_NONBLOCK keeps the open of a FIFO from waiting for its other end; regular files ignore it.
    constexpr int kAlways = O_CLOEXEC | O_NONBLOCK;
    constexpr int kWriting = kAlways | O_NOFOLLOW;
    switch (mode) {
    case FileHandle::Mode::Read: return kAlways | O_RDONLY;
    case FileHandle::Mode::Update: return kWriting | O_RDWR;
    case FileHandle::Mode::Replace: return kWriting | O_RDWR | O_CREAT | O_TRUNC;
    case FileHandle::Mode::Append: return kWriting | O_WRONLY | O_CREAT | O_APPEND;
    case FileHandle::Mode::CreateNew: return kWriting | O_RDWR | O_CREAT | O_EXCL;
    }
    return kAlways | O_RDONLY;
}

bool IsRegular(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Repeats a read or a write until count bytes have passed, across interruptions and short
// transfers; false on an error or at the end of the file. transfer(bytes, n, offset) makes one
// system call and returns what it returned.
template <typename Byte, typename Transfer>
bool TransferAll(Byte* bytes, std::size_t count, std::uint64_t offset, const Transfer& transfer)
{
    while (count > 0) {
        const ssize_t done = transfer(bytes, count, offset);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        bytes += done;
        count -= static_cast<std::size_t>(done);
        offset += static_cast<std::uint64_t>(done);
    }
    return true;
}

} // namespace

std::optional<FileHandle> FileHandle::Open(const std::filesystem::path& path, Mode mode)
{
    int fd = -1;
    do {
        fd = ::open(path.c_str(), OpenFlags(mode), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return std::nullopt;
    }
    FileHandle file(fd);
    if (!IsRegular(fd)) {
        return std::nullopt;
    }
    return file;
}

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileHandle::~FileHandle()
{
    Close();
}

std::uint64_t FileHandle::Size() const
{
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || info.st_size < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::size_t> FileHandle::Read(void* data, std::size_t count)
{
    while (true) {
        const ssize_t got = ::read(fd_, data, count);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool FileHandle::ReadAt(std::uint64_t offset, void* data, std::size_t count)
{
    return TransferAll(static_cast<char*>(data), count, offset, [this](char* bytes, std::size_t n, std::uint64_t at) {
        return ::pread(fd_, bytes, n, static_cast<off_t>(at));
    });
}

bool FileHandle::Write(const void* data, std::size_t count)
{
    return TransferAll(static_cast<const char*>(data), count, 0,
                       [this](const char* bytes, std::size_t n, std::uint64_t) { return ::write(fd_, bytes, n); });
}

bool FileHandle::WriteAt(std::uint64_t offset, const void* data, std::size_t count)
{
    return TransferAll(static_cast<const char*>(data), count, offset,
                       [this](const char* bytes, std::size_t n, std::uint64_t at) {
                           return ::pwrite(fd_, bytes, n, static_cast<off_t>(at));
                       });
}

bool FileHandle::Close()
{
    if (fd_ < 0) {
        return true;
    }
    // The descriptor is released even when close reports a failure; it must not be closed twice.
    return ::close(std::exchange(fd_, -1)) == 0;
}

} // namespace velmora
