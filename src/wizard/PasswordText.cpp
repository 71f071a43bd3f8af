#include "wizard/PasswordText.h"

#include "platform/CodePage.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"
#include "wizard/WizardWindow.h"

namespace tellvane {

std::string NewSecretRefusal(std::string_view boxText) {
    const uint32_t codePage = SystemAnsiCodePage();
    if (RepresentableInCodePage(boxText, codePage)) return {};
    return Format(GetConstantValue("Password_not_in_code_page"), {static_cast<long long>(codePage)});
}

TSecretString PasswordTextFromBytes(std::string_view bytes, uint32_t ansiCodePage) {
    // The converted text is a copy of the key: wiped before it is given back.
    std::string text;
    const TWipeOnExit wipe(text);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        text.assign(SanitizeUtf8(bytes.substr(3)));
    else if (bytes.starts_with("\xFF\xFE"))
        text.assign(Utf16BytesToUtf8(bytes.substr(2), false));
    else if (bytes.starts_with("\xFE\xFF"))
        text.assign(Utf16BytesToUtf8(bytes.substr(2), true));
    else
        text.assign(CodePageToUtf8(bytes, ansiCodePage));
    TSecretString result;
    size_t pos = 0;
    // A line break at the very end closes the last line; it does not open an empty one.
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        result.append(std::string_view(text).substr(pos, end - pos));
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
