// velmora-cli: the commands of the program without windows. Every stream is passed in, so the
// whole command line can be run from tests.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// Exit statuses of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// An error message box was shown: the desktop program would have gone on after it.
inline constexpr int kExitMessage = 3;

// args excludes the program name; errIsTerminal turns on progress on err.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false);

} // namespace velmora
