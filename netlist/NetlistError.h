#pragma once

// A netlist that cannot be read: the message as "FILE:LINE: what", and the
// line (1-based) for an editor to mark.

#include <string>
#include <string_view>

#include "numerics/Error.h"

namespace cva {

class TNetlistError : public CorvantaError {
public:
    TNetlistError(std::string_view file, int line, const std::string &message)
        : CorvantaError(std::string(file) + ":" + std::to_string(line) + ": " + message), Line(line), Message(message)
    {
    }

    int Line;
    std::string Message; // without the file and line
};

} // namespace cva
