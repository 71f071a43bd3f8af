#pragma once
#include <string>
#include <vector>

namespace tellvane {

struct BuiltinConstant {
    const char* name;
    const char* text;  // English, UTF-8
};

// Every constant with its built-in English text.
const std::vector<BuiltinConstant>& BuiltinConstants();

}  // namespace tellvane
