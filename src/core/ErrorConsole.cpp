#include "core/ErrorConsole.h"

namespace velmora {

void ReportAndWait(ErrorConsole& console, const Diagnostic& diagnostic)
{
    console.Write(diagnostic.text);
    console.Write(kEnterPrompt);
    console.ReadLine();
}

} // namespace velmora
