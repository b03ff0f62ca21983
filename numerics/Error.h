#pragma once

#include <stdexcept>
#include <string>

namespace cva {

// The one error kind of the program: it carries the text the user is shown.
class CorvantaError : public std::runtime_error {
public:
    explicit CorvantaError(const std::string &message) : std::runtime_error(message) {}
};

} // namespace cva
