#include "platform/TextLines.h"

#include <algorithm>

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

std::string EncodeRawPaths(const std::vector<std::string>& paths) {
    std::string bytes(RawPathsMark, RawPathsMarkSize);
    for (const std::string& path : paths) {
        bytes += path;
        bytes += '\0';
    }
    return bytes;
}

std::optional<std::vector<std::string>> DecodeRawPaths(const std::string& bytes) {
    if (bytes.compare(0, RawPathsMarkSize, RawPathsMark, RawPathsMarkSize) != 0) return std::nullopt;
    std::vector<std::string> paths;
    for (size_t at = RawPathsMarkSize; at < bytes.size();) {
        const size_t end = std::min(bytes.find('\0', at), bytes.size());
        paths.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return paths;
}

}  // namespace tellvane
