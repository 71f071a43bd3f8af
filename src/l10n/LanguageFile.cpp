#include "l10n/LanguageFile.h"

#include <cstdlib>

#include "l10n/TextConstants.h"
#include "platform/TextFormat.h"
#include "platform/TextLines.h"

namespace tellvane {
namespace {

std::string TrimLngLine(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

bool IsIdentifier(const std::string& name) {
    if (name.empty()) return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!letter(name[0])) return false;
    for (char c : name)
        if (!letter(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

// A property ID: decimal digits making a number above 0, however many leading zeros it has;
// anything else is no ID.
int32_t PropertyId(const std::string& name) {
    if (name.empty()) return 0;
    long long v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return 0;
        v = v * 10 + (c - '0');
        if (v > INT32_MAX) return 0;
    }
    return static_cast<int32_t>(v);
}

bool IsSectionHeader(const std::string& line) { return line.size() >= 3 && line.front() == '[' && line.back() == ']'; }

void SetParam(std::vector<std::pair<std::string, std::string>>& params, const std::string& name,
              const std::string& value) {
    for (auto it = params.begin(); it != params.end(); ++it) {
        if (CompareConstantNames(it->first, name) == 0) {
            if (value.empty())
                params.erase(it);
            else
                it->second = value;
            return;
        }
    }
    if (!value.empty()) params.emplace_back(name, value);
}

bool SplitEntry(const std::string& line, std::string& name, std::string& value) {
    auto eq = line.find('=');
    if (eq == std::string::npos) return false;
    name = TrimLngLine(line.substr(0, eq));
    value = TrimLngLine(line.substr(eq + 1));
    return !name.empty();
}

}  // namespace

const TQuenLang_CompTranslation* TQuenLang_CompTranslations::FindComponent(const std::string& name) const {
    for (const auto& c : Components)
        if (CompareConstantNames(c.ComponentName, name) == 0) return &c;
    return nullptr;
}

std::string TQuenLang_CompTranslations::Param(const std::string& name) const {
    for (const auto& [n, v] : Params)
        if (CompareConstantNames(n, name) == 0) return v;
    return {};
}

std::string DecodeLngEscapes(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c != '\\' || i + 1 >= value.size()) {
            out += c;
            continue;
        }
        char n = value[i + 1];
        if (n == '\\') {
            out += '\\';
            ++i;
        } else if (n == 'n') {
            out += "\r\n";
            ++i;
        } else if (n == 't') {
            out += '\t';
            ++i;
        } else if (n >= '0' && n <= '9' && i + 2 < value.size() && value[i + 2] >= '0' && value[i + 2] <= '9') {
            out += static_cast<char>((n - '0') * 10 + (value[i + 2] - '0'));
            i += 2;
        } else {
            out += '\\';
        }
    }
    return out;
}

std::vector<std::string> SplitLngLines(const std::string& bytes, uint32_t ansiCodePage) {
    return SplitLines(DecodeTextWithBom(bytes, ansiCodePage));
}

TQuenLang_CompTranslations ParseLanguageFile(const std::string& bytes, uint32_t ansiCodePage) {
    TQuenLang_CompTranslations result;
    const std::vector<std::string> lines = SplitLngLines(bytes, ansiCodePage);
    enum { Params, Constants, Component } mode = Params;
    TQuenLang_CompTranslation* component = nullptr;
    for (size_t lineNo = 0; lineNo < lines.size(); ++lineNo) {
        try {
            const std::string line = TrimLngLine(lines[lineNo]);
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                if (!IsSectionHeader(line)) continue;
                const std::string name = TrimLngLine(line.substr(1, line.size() - 2));
                if (CompareConstantNames(name, "$CONSTANTS") == 0) {
                    mode = Constants;
                    continue;
                }
                mode = Component;
                component = nullptr;
                for (auto& c : result.Components)
                    if (CompareConstantNames(c.ComponentName, name) == 0) component = &c;
                if (!component) {
                    result.Components.push_back({name, {}});
                    component = &result.Components.back();
                }
                continue;
            }
            std::string name, value;
            if (!SplitEntry(line, name, value)) continue;
            if (mode == Params) {
                SetParam(result.Params, name, value);
            } else if (mode == Constants) {
                if (!IsIdentifier(name)) throw EQuenLangError(Format("Invalid constant name (\"%s\")", {name}));
                for (const auto& c : result.Constants)
                    if (CompareConstantNames(c.first, name) == 0)
                        throw EQuenLangError(Format("Duplicate constant name (\"%s\")", {name}));
                result.Constants.emplace_back(name, DecodeLngEscapes(value));
            } else {
                const int32_t id = PropertyId(name);
                if (id <= 0) continue;
                if (!component->Values.emplace(id, DecodeLngEscapes(value)).second)
                    throw EQuenLangError(Format("Duplicate property value translation ID (%d)", {id}));
            }
        } catch (const std::exception& e) {
            throw EQuenLangError(
                Format("Loading translations failed.\nLine %d: %s", {static_cast<long long>(lineNo), e.what()}));
        }
    }
    return result;
}

std::vector<std::pair<std::string, std::string>> ReadLngParams(const std::string& bytes, uint32_t ansiCodePage) {
    std::vector<std::pair<std::string, std::string>> params;
    for (const std::string& raw : SplitLngLines(bytes, ansiCodePage)) {
        const std::string line = TrimLngLine(raw);
        if (!line.empty() && line[0] == '[') break;
        if (line.empty() || line[0] == ';') continue;
        std::string name, value;
        if (SplitEntry(line, name, value)) SetParam(params, name, value);
    }
    return params;
}

uint16_t LanguageIdOfParams(const std::vector<std::pair<std::string, std::string>>& params) {
    for (const auto& [n, v] : params) {
        if (CompareConstantNames(n, "LANGID") != 0) continue;
        if (v.empty()) return 0;
        char* end = nullptr;
        long long id = std::strtoll(v.c_str(), &end, 10);
        if (*end != 0) return 0;
        return static_cast<uint16_t>(id & 0xFFFF);
    }
    return 0;
}

}  // namespace tellvane
