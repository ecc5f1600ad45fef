#include "files/PendingFile.h"

#include "core/FileHandle.h"

#include <cstdio>
#include <random>
#include <system_error>
#include <utility>

namespace velmora {

namespace fs = std::filesystem;

namespace {

// A name is tried again only when another file took it first; a few tries make a collision of
// 48-bit random names impossible in practice.
constexpr int kTries = 8;

// "<name>.<12 hex digits>.partial" beside target.
fs::path TemporaryName(const fs::path& target, std::random_device& random)
{
    const unsigned long long bits = (static_cast<unsigned long long>(random()) << 16) ^ random();
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%012llx.partial", bits & 0xFFFFFFFFFFFFull);
    fs::path name = target;
    name += suffix;
    return name;
}

} // namespace

std::optional<PendingFile> PendingFile::Create(const fs::path& target)
{
    std::random_device random;
    for (int k = 0; k < kTries; ++k) {
        fs::path path = TemporaryName(target, random);
        if (auto file = FileHandle::Open(path, FileHandle::Mode::CreateNew)) {
            if (!file->Close()) {
                std::error_code error;
                fs::remove(path, error);
                return std::nullopt;
            }
            return PendingFile(target, std::move(path));
        }
        std::error_code error;
        if (!fs::exists(fs::symlink_status(path, error))) {
            return std::nullopt; // refused for another reason than the name
        }
    }
    return std::nullopt;
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), path_(std::exchange(other.path_, fs::path()))
{
}

PendingFile::~PendingFile()
{
    if (!path_.empty()) {
        std::error_code error;
        fs::remove(path_, error);
    }
}

bool PendingFile::Commit()
{
    std::error_code error;
    fs::rename(path_, target_, error);
    const bool moved = !error;
    if (!moved) {
        fs::remove(path_, error);
    }
    path_.clear();
    return moved;
}

} // namespace velmora
