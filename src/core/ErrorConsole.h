// The error console: where a command shows the core's diagnostic of a point and waits for the
// user to acknowledge it before the command ends the program.
#pragma once

#include "core/CoreResult.h"

#include <string_view>

namespace velmora {

// The prompt that follows every diagnostic, written without a line end.
inline constexpr std::string_view kEnterPrompt = "Tastati <Enter>...";

class ErrorConsole {
public:
    virtual ~ErrorConsole() = default;
    // Writes text as given; "\n" marks a line end.
    virtual void Write(std::string_view text) = 0;
    // Flushes what was written, then blocks until one line has been read (or input has ended).
    virtual void ReadLine() = 0;
};

// Writes the diagnostic, then the prompt, and waits for Enter.
void ReportAndWait(ErrorConsole& console, const Diagnostic& diagnostic);

} // namespace velmora
