#pragma once
// What the windows ask of the desktop: opening the help page and starting the program again with
// a switch. Tests replace both with hooks.
#include <functional>
#include <string>

namespace tellvane {

// AppFolder + "Help/index.html".
std::string HelpFileName();
// Opens the help page in the desktop's browser (xdg-open, or the portal inside a sandbox); when
// the page is missing or nothing opens it, a message says where the page is.
void OpenHelpFile();
// A hook stands in for the opener; it returns whether the page was opened.
using TOpenHelpHook = std::function<bool(const std::string& fileName)>;
void SetOpenHelpHook(TOpenHelpHook hook);

// Starts the program's own executable with SWITCHTEXT as a detached process, without waiting and
// without reporting a failure.
void StartSelfDetached(const std::string& switchText);
using TStartSelfHook = std::function<void(const std::string& program, const std::string& switchText)>;
void SetStartSelfHook(TStartSelfHook hook);

}  // namespace tellvane
