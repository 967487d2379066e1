// The engine's exception: every failure deep inside an operation throws one with a clear message.
#pragma once

#include <stdexcept>
#include <string>

namespace ie {

/// An engine failure with a message meant for the user.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message)
        : std::runtime_error(message) { }
};

} // namespace ie
