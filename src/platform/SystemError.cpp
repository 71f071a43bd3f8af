#include "platform/SystemError.h"

#include <cstring>

#include "platform/TextFormat.h"

namespace tellvane {

std::string FormatSystemError(int code) {
    char buf[256];
    // GNU strerror_r returns the text, possibly not in BUF.
    std::string text = strerror_r(code, buf, sizeof buf);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return Format("Error %d: %s", {code, text});
}

}  // namespace tellvane
