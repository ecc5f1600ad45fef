// The one way a fatal condition leaves the library: the exception carries the exact text that
// the error window (or the command line's standard error) shows before the program ends. Only
// the two shells catch it.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace velmora
