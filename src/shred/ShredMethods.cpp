#include "shred/ShredMethods.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tellvane {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void BadNotation(std::string_view passes) {
    throw std::invalid_argument("Bad pass list \"" + std::string(passes) + "\"");
}

}  // namespace

std::vector<TShredPass> ParseShredPasses(std::string_view passes) {
    std::vector<TShredPass> result;
    size_t pos = 0;
    while (pos < passes.size()) {
        if (passes[pos] == ' ') {
            ++pos;
            continue;
        }
        const size_t end = std::min(passes.find(' ', pos), passes.size());
        const std::string_view word = passes.substr(pos, end - pos);
        pos = end;
        TShredPass pass;
        if (word == "R") {
            pass.Kind = TShredPass::pkRandom;
        } else if (word == "C") {
            pass.Kind = TShredPass::pkRandomConstant;
        } else if (word == "I") {
            pass.Kind = TShredPass::pkInvert;
        } else {
            if (word.size() % 2 != 0) BadNotation(passes);
            for (size_t k = 0; k < word.size(); k += 2) {
                const int high = HexDigit(word[k]), low = HexDigit(word[k + 1]);
                if (high < 0 || low < 0) BadNotation(passes);
                pass.Pattern.push_back(static_cast<uint8_t>(high * 16 + low));
            }
        }
        result.push_back(std::move(pass));
    }
    if (result.empty()) BadNotation(passes);
    return result;
}

const TShredMethod& FindShredMethod(std::string_view className) {
    for (const TShredMethod& method : ShredMethodTable)
        if (method.ClassName == className) return method;
    throw std::invalid_argument("No wiping method " + std::string(className));
}

}  // namespace tellvane
