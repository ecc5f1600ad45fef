// Runs velmora-cli in-process with its streams captured.
#pragma once

#include "cli/Cli.h"

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {

struct CliRun {
    int status;
    std::string out;
    std::string err;
    std::string unread; // what the command left of standard input
};

inline CliRun Cli(const std::vector<std::string>& args, const std::string& input = "")
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, in, out, err);
    std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {status, out.str(), err.str(), rest};
}

} // namespace velmora
