#include "wizard/StatusHint.h"

namespace tellvane {

std::string LongHint(const std::string& hint) {
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

std::string StatusBarText(const std::string& currentHint, const std::string& stepTitle) {
    return currentHint.empty() ? LongHint(stepTitle) : LongHint(currentHint);
}

}  // namespace tellvane
