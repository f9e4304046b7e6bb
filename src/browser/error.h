#pragma once

#include <stdexcept>
#include <string>

namespace browser {

// A failure the user is told about in the error box, carrying the message
// exactly as the user reads it.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace browser
