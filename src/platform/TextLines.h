#pragma once
// Text files whose encoding a byte-order mark tells (UTF-8, UTF-16 LE or BE; otherwise an ANSI
// code page), and their lines.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tellvane {

// The text of BYTES as UTF-8, decoded by its byte-order mark or else from ANSICODEPAGE.
std::string DecodeTextWithBom(const std::string& bytes, uint32_t ansiCodePage);
// The lines of TEXT; CR LF, LF and CR each end a line. A final line ending adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

// A list of paths kept as the bytes they are, for names in no known encoding (a Linux name may hold
// any byte but NUL): RawPathsMark, then every path followed by a NUL. No text form begins with a
// NUL, so the two never meet.
inline constexpr char RawPathsMark[] = "\0tellvane paths\0";
inline constexpr size_t RawPathsMarkSize = sizeof RawPathsMark - 1;
std::string EncodeRawPaths(const std::vector<std::string>& paths);
// The paths of BYTES when they begin with RawPathsMark (a last path without its NUL included);
// nullopt for any other text.
std::optional<std::vector<std::string>> DecodeRawPaths(const std::string& bytes);

}  // namespace tellvane
