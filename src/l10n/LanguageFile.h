#pragma once
// Language files (.lng): parameters before the first section, translated constants in
// "$CONSTANTS", and one section per translated window with property IDs as names.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tellvane {

// The texts of one window's section, by property ID.
struct TQuenLang_CompTranslation {
    std::string ComponentName;
    std::map<int32_t, std::string> Values;
};

struct TQuenLang_CompTranslations {
    std::vector<std::pair<std::string, std::string>> Params;    // name, value, as written
    std::vector<std::pair<std::string, std::string>> Constants;  // name, decoded text
    std::vector<TQuenLang_CompTranslation> Components;

    const TQuenLang_CompTranslation* FindComponent(const std::string& name) const;
    std::string Param(const std::string& name) const;
};

// Escapes of values: "\\", "\n" (a line break), "\t", a backslash with two decimal digits (that
// character code); any other backslash is kept.
std::string DecodeLngEscapes(const std::string& value);
// The file's text as lines: UTF-8 or UTF-16 by byte-order mark, otherwise the ANSI code page;
// CR LF, LF and CR all end a line.
std::vector<std::string> SplitLngLines(const std::string& bytes, uint32_t ansiCodePage);
// Parses a whole file. Throws EQuenLangError "Loading translations failed.\nLine %d: %s" with
// the zero-based line of the fault.
TQuenLang_CompTranslations ParseLanguageFile(const std::string& bytes, uint32_t ansiCodePage);
// The parameter lines only (reading stops at the first line that begins with "[").
std::vector<std::pair<std::string, std::string>> ReadLngParams(const std::string& bytes, uint32_t ansiCodePage);
// The file's language identifier: the low 16 bits of "LANGID", 0 when absent or not a number.
uint16_t LanguageIdOfParams(const std::vector<std::pair<std::string, std::string>>& params);

}  // namespace tellvane
