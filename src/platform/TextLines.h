#pragma once
// Text files whose encoding a byte-order mark tells (UTF-8, UTF-16 LE or BE; otherwise an ANSI
// code page), and their lines.
#include <cstdint>
#include <string>
#include <vector>

namespace tellvane {

// The text of BYTES as UTF-8, decoded by its byte-order mark or else from ANSICODEPAGE.
std::string DecodeTextWithBom(const std::string& bytes, uint32_t ansiCodePage);
// The lines of TEXT; CR LF, LF and CR each end a line. A final line ending adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace tellvane
