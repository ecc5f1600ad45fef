#include "core/ErrorConsole.h"

namespace velmora {

void ReportAndWait(ErrorConsole& console, std::string_view message, bool lineEnd)
{
    console.Write(message);
    if (lineEnd)
        console.Write("\n");
    console.Write(kEnterPrompt);
    console.ReadLine();
}

} // namespace velmora
