// The byte-order-marked text reader and the "todo" hand-over built on it, with the code page
// picked by the first byte for text without a mark.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "engine/PendingFiles.h"
#include "platform/CodePage.h"
#include "platform/TextLines.h"

using namespace tellvane;

int tellvane::fuzz::TextLines(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint32_t codePage = fuzz::PickCodePage(data[0]);
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = DecodeTextWithBom(bytes, codePage);
    if (SanitizeUtf8(text) != text) fuzz::Fail("decoded text is not UTF-8");
    for (const std::string& line : SplitLines(text))
        if (line.find_first_of("\r\n") != std::string::npos) fuzz::Fail("a line holds a line break");
    for (const std::string& path : DecodePendingLines(bytes, codePage))
        if (path.empty() || path.find_first_of("\r\n") != std::string::npos) fuzz::Fail("a pending line is no path");
    return 0;
}
