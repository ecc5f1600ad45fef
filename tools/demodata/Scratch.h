// Running the program's own command line from the generator, in a scratch directory of its own,
// so that the work files of a command never land in the data set.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::demodata {

// A fresh directory under the system's temporary directory, made current for its lifetime and
// removed with everything in it afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);

struct CliOutcome {
    int status;
    std::string out;
    std::string err;
};

// velmora-cli with these arguments, in the current directory, with nothing on standard input.
CliOutcome RunCliHere(const std::vector<std::string>& args);

} // namespace velmora::demodata
