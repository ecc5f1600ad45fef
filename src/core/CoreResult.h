// What an operation of the transformation core gives back: its value, or the diagnostic that says
// why the point cannot be transformed. The core writes nothing itself; the command that called it
// puts the diagnostic on the error console, waits for Enter and ends the program with its own
// message (files/FatalError.h describes that path).
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace velmora {

// The console text of a failure: its line or lines, each with its "\n" (a few grid messages leave
// the prompt on their own line and have none), exactly as the console shows them before the
// "Tastati <Enter>..." prompt.
struct Diagnostic {
    std::string text;
};

template <class T>
class CoreResult {
public:
    CoreResult(T value) : value_(std::move(value)) {}
    CoreResult(Diagnostic failure) : failure_(std::move(failure)) {}

    explicit operator bool() const { return value_.has_value(); }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    // The diagnostic of a failed operation.
    const Diagnostic& Failure() const { return failure_; }

private:
    std::optional<T> value_;
    Diagnostic failure_;
};

} // namespace velmora
