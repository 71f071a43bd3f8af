#include "wizard/PasswordText.h"

#include "platform/CodePage.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

std::string NewSecretRefusal(const std::string& boxText) {
    const uint32_t codePage = SystemAnsiCodePage();
    if (RepresentableInCodePage(boxText, codePage)) return {};
    return Format(GetConstantValue("Password_not_in_code_page"), {static_cast<long long>(codePage)});
}

std::string PasswordTextFromBytes(const std::string& bytes, uint32_t ansiCodePage) {
    std::string text;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text = SanitizeUtf8(bytes.substr(3));
    else if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        text = Utf16BytesToUtf8(bytes.substr(2), false);
    else if (bytes.compare(0, 2, "\xFE\xFF") == 0)
        text = Utf16BytesToUtf8(bytes.substr(2), true);
    else
        text = CodePageToUtf8(bytes, ansiCodePage);
    std::string result;
    size_t pos = 0;
    // A line break at the very end closes the last line; it does not open an empty one.
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        result.append(text, pos, end - pos);
        result += "\r\n";
        pos = end;
        if (pos < text.size() && text[pos] == '\r') {
            ++pos;
            if (pos < text.size() && text[pos] == '\n') ++pos;
        } else if (pos < text.size()) {
            ++pos;  // LF
        }
    }
    return result;
}

bool LoadPasswordFromFile(IWizardWindow& window, const std::string& fileName, std::string& boxText) {
    std::string bytes;
    try {
        bytes = ReadWholeFile(fileName);
    } catch (const EFileError& e) {
        window.ErrorBox(e.what());
        return false;
    }
    boxText = PasswordTextFromBytes(bytes, SystemAnsiCodePage());
    return true;
}

char TogglePasswordMask(char maskChar) { return maskChar ? '\0' : '*'; }

}  // namespace tellvane
