#pragma once
// The formatting routine behind every message built from a text constant: "%s", "%d", "%u",
// "%x" and "%%", with the arguments taken in order.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

namespace tellvane {

using FormatArg =
    std::variant<std::string, const char*, int, long, long long, unsigned, unsigned long, unsigned long long>;

// Throws std::invalid_argument for a placeholder without a matching argument or of the wrong kind.
std::string Format(const std::string& pattern, std::initializer_list<FormatArg> args);

}  // namespace tellvane
