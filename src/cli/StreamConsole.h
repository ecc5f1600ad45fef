// The error console of the command line: diagnostics to an output stream (standard error),
// the wait for Enter on an input stream (standard input); end of input continues at once.
#pragma once

#include "core/ErrorConsole.h"

#include <istream>
#include <ostream>

namespace velmora {

class StreamConsole : public ErrorConsole {
public:
    StreamConsole(std::ostream& out, std::istream& in) : out_(out), in_(in) {}
    void Write(std::string_view text) override;
    void ReadLine() override;

private:
    std::ostream& out_;
    std::istream& in_;
};

} // namespace velmora
