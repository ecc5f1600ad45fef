// How an error travels through the program, in one place.
//
// The transformation core never writes and never throws: an operation that can fail returns a
// CoreResult holding its value or a Diagnostic, the console text of the failure
// (core/CoreResult.h). The commands put a diagnostic on the error console, wait for Enter and
// throw FatalError with the text of the error window. Every other fatal condition of the library
// (a source line that does not parse, a record file that cannot be read, a model file that is not
// usable) throws FatalError at the place it is found. Nothing catches a FatalError except the two
// front ends, and both do it through FailureOf below: the desktop program shows the text in the
// error window and ends, the command line writes it to standard error and exits with status 1.
// Any other exception reaching FailureOf is a fault of the program, not of the user's data, and
// is shown the same way under kInternalErrorPrefix. Mistakes typed into a dialog are not fatal:
// the commands report them through the Ui and the dialog stays open.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace velmora {

class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

// A fatal error found on one line of a source text file. The message is the one the error window
// shows; the line number (the first line of the file is 1) lets the command line say where.
class SourceLineError : public FatalError {
public:
    SourceLineError(const std::string& message, std::size_t lineNumber) : FatalError(message), lineNumber_(lineNumber)
    {
    }

    std::size_t LineNumber() const { return lineNumber_; }

private:
    std::size_t lineNumber_;
};

inline constexpr const char* kInternalErrorPrefix = "Eroare interna: ";

// Runs the command; std::nullopt when it ended normally, otherwise the text the front end shows
// before the program ends.
std::optional<std::string> FailureOf(const std::function<void()>& command);

} // namespace velmora
