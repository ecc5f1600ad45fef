// The error console: where the transformation core writes its diagnostics and waits for the
// user to acknowledge them before a failure is returned to the caller.
#pragma once

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

// Writes the diagnostic (followed by a line end when lineEnd is true), then the prompt, and
// waits for Enter.
void ReportAndWait(ErrorConsole& console, std::string_view message, bool lineEnd = true);

} // namespace velmora
