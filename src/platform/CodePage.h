#pragma once
// Conversions between UTF-8 (our text), UTF-16 and the Windows ANSI code pages, through iconv.
// Pass phrases go through here: a conversion leaves no copy of its text in memory it gives back
// (its result is the caller's to wipe).
#include <cstdint>
#include <string>
#include <string_view>

namespace tellvane {

// The Windows ANSI code page of the user's locale (LC_ALL, LC_CTYPE, LANG; 1252 when unknown).
uint32_t SystemAnsiCodePage();
// The default ANSI code page of a Windows language identifier (1252 when unknown).
uint32_t AnsiCodePageOfLanguage(uint16_t languageId);
// UTF-8 text to 8-bit text in CODEPAGE; characters the code page lacks become "?".
std::string Utf8ToCodePage(std::string_view text, uint32_t codePage);
// True when TEXT (UTF-8) comes back unchanged from CODEPAGE: no character of it is lost to "?"
// or to a look-alike, so no two different texts become the same bytes.
bool RepresentableInCodePage(std::string_view text, uint32_t codePage);
// 8-bit text in CODEPAGE to UTF-8; undecodable bytes become U+FFFD.
std::string CodePageToUtf8(std::string_view bytes, uint32_t codePage);
// UTF-16 with the given byte order to UTF-8 (unpaired surrogates become U+FFFD), and back.
std::string Utf16ToUtf8(const std::u16string& text);
std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian);
std::u16string Utf8ToUtf16(const std::string& text);
// Invalid UTF-8 sequences replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

}  // namespace tellvane
