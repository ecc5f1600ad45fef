#include "model/ModelFile.h"

#include <string>

namespace velmora {

FatalError ModelFileError(std::string_view fileKind, const std::filesystem::path& path, std::string_view problem)
{
    std::string message = "Eroare: fisierul ";
    message.append(fileKind);
    message.push_back(' ');
    message.append(path.string());
    message.push_back(' ');
    message.append(problem);
    message.push_back('!');
    return FatalError(message);
}

ModelFileReader::ModelFileReader(const std::filesystem::path& path, std::size_t recordSize,
                                 std::string_view fileKind)
    : path_(path), fileKind_(fileKind), recordSize_(recordSize), file_(FileHandle::Open(path, FileHandle::Mode::Read))
{
    if (!file_) {
        throw ModelFileError(fileKind_, path_, "lipseste sau nu poate fi deschis");
    }
    const std::uint64_t bytes = file_->Size();
    const std::string recordText = std::to_string(recordSize) + " octeti";
    if (bytes == 0) {
        throw ModelFileError(fileKind_, path_, "este gol");
    }
    if (bytes < recordSize) {
        throw ModelFileError(fileKind_, path_, "este mai scurt decat o inregistrare de " + recordText);
    }
    if (bytes % recordSize != 0) {
        throw ModelFileError(fileKind_, path_, "nu contine un numar intreg de inregistrari de " + recordText);
    }
    size_ = bytes / recordSize;
}

void ModelFileReader::ReadNext(void* records, std::size_t count)
{
    const std::size_t bytes = count * recordSize_;
    if (!file_->ReadAt(position_, records, bytes)) {
        throw ModelFileError(fileKind_, path_, "nu poate fi citit");
    }
    position_ += bytes;
}

} // namespace velmora
