// The editor of Thunar's action list (uca.xml). Whatever it accepts, adding our entries and
// removing them again leaves what removing alone leaves, and a list with our entries is always
// editable again.
#include <algorithm>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "app/FileManagerActions.h"

using namespace tellvane;

int tellvane::fuzz::ThunarActions(const uint8_t* data, size_t size) {
    const std::string xml(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> without = UcaWithoutOwnEntries(xml);
    const bool cascade = size > 0 && (data[0] & 1);
    const std::optional<std::string> with = UcaWithOwnEntries(xml, "/opt/a b/tellvane-menu-helper", cascade);
    if (without.has_value() != with.has_value()) fuzz::Fail("adding and removing disagree on what is editable");
    if (!with) return 0;
    if (UcaWithoutOwnEntries(*without) != without) fuzz::Fail("removing twice differs from removing once");
    if (UcaWithoutOwnEntries(*with) != without) fuzz::Fail("our entries do not come out as they went in");
    if (UcaWithOwnEntries(*with, "/opt/a b/tellvane-menu-helper", cascade) != with)
        fuzz::Fail("adding our entries twice differs from adding them once");
    return 0;
}

std::string tellvane::fuzz::ThunarActionsOutcome(const uint8_t* data, size_t size) {
    const std::string xml(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> with = UcaWithOwnEntries(xml, "/opt/tellvane-menu-helper", false);
    if (!with) return "refused: not an action list we can edit";
    const auto actions = [](const std::string& text) {
        size_t n = 0;
        for (size_t at = text.find("<action>"); at != std::string::npos; at = text.find("<action>", at + 1)) ++n;
        return n;
    };
    return "accepted: " + std::to_string(actions(*with) - actions(*UcaWithoutOwnEntries(*with))) + " actions of ours";
}
