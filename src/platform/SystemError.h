#pragma once
#include <string>

namespace tellvane {

// "Error %d: %s" with the system's text for errno value CODE, trailing blanks, line breaks and
// full stops removed.
std::string FormatSystemError(int code);

}  // namespace tellvane
