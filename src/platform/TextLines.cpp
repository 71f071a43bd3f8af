#include "platform/TextLines.h"

#include "platform/CodePage.h"

namespace tellvane {

std::string DecodeTextWithBom(const std::string& bytes, uint32_t ansiCodePage) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return SanitizeUtf8(bytes.substr(3));
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return Utf16BytesToUtf8(bytes.substr(2), false);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return Utf16BytesToUtf8(bytes.substr(2), true);
    return CodePageToUtf8(bytes, ansiCodePage);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size()) pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    }
    return lines;
}

}  // namespace tellvane
