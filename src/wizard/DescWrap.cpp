#include "wizard/DescWrap.h"

#include <vector>

namespace tellvane {

int DescLineChars = 60;

namespace {

// Byte offsets where each character starts, plus the end.
std::vector<size_t> CharStarts(const std::string& text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

int CharCount(const std::string& text) { return static_cast<int>(CharStarts(text).size()) - 1; }

// The first N characters of TEXT, in bytes.
size_t BytesOfChars(const std::string& text, int n) {
    const std::vector<size_t> starts = CharStarts(text);
    return starts[static_cast<size_t>(n) < starts.size() ? static_cast<size_t>(n) : starts.size() - 1];
}

}  // namespace

int DescLineCharsFor(int listWidth, int letterWidth) {
    return letterWidth > 0 ? listWidth / letterWidth - 4 : listWidth;
}

int DescBreakPos(const std::string& text, int maxChars) {
    const std::vector<size_t> starts = CharStarts(text);
    const int length = static_cast<int>(starts.size()) - 1;
    if (length == 0 || length < maxChars) return length;
    for (int pos = maxChars; pos >= 1; --pos) {
        const char c = text[starts[static_cast<size_t>(pos - 1)]];
        if (c == ' ' || c == '\\') return pos;
    }
    return length;
}

int CountDescLines(const std::string& text, int lineChars) {
    if (CharCount(text) < lineChars) return 1;
    std::string copy = text;
    int lines = 0;
    while (!copy.empty()) {
        copy.erase(0, BytesOfChars(copy, DescBreakPos(copy, lineChars)));
        ++lines;
    }
    return lines;
}

std::string TakeDescLine(std::string& rest, int lineChars) {
    if (CharCount(rest) < lineChars) return rest;
    const size_t bytes = BytesOfChars(rest, DescBreakPos(rest, lineChars));
    std::string line = rest.substr(0, bytes);
    rest.erase(0, bytes);
    return line;
}

}  // namespace tellvane
