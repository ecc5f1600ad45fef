#include "files/FatalError.h"

#include <exception>

namespace velmora {

std::optional<std::string> FailureOf(const std::function<void()>& command)
{
    try {
        command();
    } catch (const FatalError& error) {
        return error.what();
    } catch (const std::exception& error) {
        return kInternalErrorPrefix + std::string(error.what());
    } catch (...) {
        return kInternalErrorPrefix + std::string("exceptie necunoscuta");
    }
    return std::nullopt;
}

} // namespace velmora
