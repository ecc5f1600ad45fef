#include "commands/WorkFolder.h"

#include "commands/Ui.h"
#include "files/FatalError.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include <sys/file.h>

namespace velmora {

namespace fs = std::filesystem;

namespace {

bool Lock(int fd, int operation)
{
    int status = 0;
    do {
        status = ::flock(fd, operation);
    } while (status != 0 && errno == EINTR);
    return status == 0;
}

FatalError LockError(const fs::path& folder)
{
    return FatalError("Eroare: folderul de lucru " + folder.string() + " nu poate fi blocat!");
}

} // namespace

WorkFolderLock::WorkFolderLock(const fs::path& folder, Ui& ui)
    : file_(FileHandle::Open(folder / kWorkFolderLockName, FileHandle::Mode::Append))
{
    if (!file_)
        throw LockError(folder);
    if (Lock(file_->Descriptor(), LOCK_EX | LOCK_NB))
        return;
    if (errno != EWOULDBLOCK)
        throw LockError(folder);
    ui.NoteWait("Alta comanda lucreaza in folderul " + folder.string() + "; se asteapta terminarea ei...");
    if (!Lock(file_->Descriptor(), LOCK_EX))
        throw LockError(folder);
}

PrivateWorkFolder::PrivateWorkFolder()
{
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "velmora-XXXXXX").string();
    if (error || ::mkdtemp(pattern.data()) == nullptr)
        throw FatalError("Eroare: nu se poate crea un folder de lucru temporar!");
    path_ = pattern;
}

PrivateWorkFolder::~PrivateWorkFolder()
{
    std::error_code error;
    fs::remove_all(path_, error);
}

} // namespace velmora
