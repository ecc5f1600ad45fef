#include "cli/StreamConsole.h"

#include <string>

namespace velmora {

void StreamConsole::Write(std::string_view text)
{
    out_ << text;
}

void StreamConsole::ReadLine()
{
    out_.flush();
    std::string line;
    std::getline(in_, line);
}

} // namespace velmora
