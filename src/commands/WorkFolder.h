// The folder a command keeps its work files in, and the lock that makes them its own.
//
// Two commands in one folder would share PNXYZ.REC and the other work files and mix their points.
// Every command that touches a work folder therefore holds its lock while it works, with one line
// once its dialogs are answered:
//     const WorkFolderLock lock(workDir, ui);
// A second command in the same folder waits for the first to finish and says so first (through
// Ui::NoteWait). The lock is an flock on kWorkFolderLockName in the folder; the system drops it
// when the holder ends, however it ends.
#pragma once

#include "core/FileHandle.h"

#include <filesystem>
#include <optional>

namespace velmora {

class Ui;

inline constexpr const char* kWorkFolderLockName = ".velmora.lock";

class WorkFolderLock {
public:
    // Waits until the folder is free. Throws FatalError naming the folder when its lock file
    // cannot be created.
    WorkFolderLock(const std::filesystem::path& folder, Ui& ui);
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;
    ~WorkFolderLock() = default; // closing the lock file releases the lock

private:
    std::optional<FileHandle> file_;
};

// A fresh folder of this run alone under the system's temporary folder, removed with everything
// in it when the object goes.
class PrivateWorkFolder {
public:
    // Throws FatalError when the system gives no such folder.
    PrivateWorkFolder();
    PrivateWorkFolder(const PrivateWorkFolder&) = delete;
    PrivateWorkFolder& operator=(const PrivateWorkFolder&) = delete;
    ~PrivateWorkFolder();

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace velmora
