#pragma once
// The status bar's text: the hint of the control under the pointer, else the current step title.
#include <string>

namespace tellvane {

// The long part of a hint: the text after the first "|", or the whole hint when it has none.
std::string LongHint(const std::string& hint);
// The status text for the application's current hint CURRENTHINT (empty when the pointer is on
// nothing with a hint) and the main window's own hint, the step title.
std::string StatusBarText(const std::string& currentHint, const std::string& stepTitle);

}  // namespace tellvane
