#include "platform/TextFormat.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace tellvane {
namespace {

bool AsInteger(const FormatArg& arg, long long& out) {
    if (auto p = std::get_if<int>(&arg)) return out = *p, true;
    if (auto p = std::get_if<long>(&arg)) return out = *p, true;
    if (auto p = std::get_if<long long>(&arg)) return out = *p, true;
    if (auto p = std::get_if<unsigned>(&arg)) return out = *p, true;
    if (auto p = std::get_if<unsigned long>(&arg)) return out = static_cast<long long>(*p), true;
    if (auto p = std::get_if<unsigned long long>(&arg)) return out = static_cast<long long>(*p), true;
    return false;
}

}  // namespace

std::string Format(const std::string& pattern, std::initializer_list<FormatArg> args) {
    std::vector<FormatArg> list(args);
    size_t next = 0;
    std::string out;
    out.reserve(pattern.size() + 16);
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 >= pattern.size()) throw std::invalid_argument("Format: lone '%' at the end of \"" + pattern + "\"");
        char kind = pattern[++i];
        if (kind == '%') {
            out += '%';
            continue;
        }
        if (next >= list.size()) throw std::invalid_argument("Format: too few arguments for \"" + pattern + "\"");
        const FormatArg& arg = list[next++];
        long long number = 0;
        switch (kind) {
            case 's':
                if (auto s = std::get_if<std::string>(&arg)) {
                    out += *s;
                } else if (auto p = std::get_if<const char*>(&arg)) {
                    out += *p ? *p : "";
                } else {
                    throw std::invalid_argument("Format: %s given a number in \"" + pattern + "\"");
                }
                break;
            case 'd':
            case 'u':
            case 'x':
                if (!AsInteger(arg, number))
                    throw std::invalid_argument("Format: %" + std::string(1, kind) + " given text in \"" + pattern + "\"");
                if (kind == 'x') {
                    char buf[32];
                    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(number));
                    out += buf;
                } else {
                    out += std::to_string(number);
                }
                break;
            default:
                throw std::invalid_argument("Format: unknown placeholder in \"" + pattern + "\"");
        }
    }
    return out;
}

}  // namespace tellvane
