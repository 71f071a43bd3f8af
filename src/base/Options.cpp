#include "base/Options.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <ctime>
#include <locale.h>

#include "platform/AppFolders.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

const char* const kSection = "Options";

// Shortest text that reads back to the same number, with "." as the decimal separator.
std::string FloatText(double value) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

// Reads TEXT as a floating-point number whose decimal separator is SEPARATOR. Blanks around it are
// allowed; anything else (another separator, trailing characters, infinities) is not a number.
bool ParseFloat(std::string text, char separator, double& value) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    text = text.substr(b, e - b);
    const char other = separator == '.' ? ',' : '.';
    if (text.find(other) != std::string::npos) return false;
    for (char& c : text)
        if (c == separator) c = '.';
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return false;
    }
    if (first == last || *first == '+') return false;
    double parsed = 0;
    auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// The decimal separator of the process's numeric locale; a separator other than "." or "," could
// not be read back, so those write ".".
char LocaleDecimalSeparator() {
    const lconv* conv = std::localeconv();
    return conv && conv->decimal_point && conv->decimal_point[0] == ',' ? ',' : '.';
}

std::string LocaleFloatText(double value) {
    std::string text = FloatText(value);
    const char separator = LocaleDecimalSeparator();
    if (separator != '.')
        for (char& c : text)
            if (c == '.') c = separator;
    return text;
}

}  // namespace

TOptions::TOptions() : ini_(GetFileName()) {}

TOptions::TOptions(std::string fileName) : ini_(fileName.empty() ? GetFileName() : std::move(fileName)) {}

TOptions TOptions::FromText(std::string text) { return TOptions(TIniFile::FromText(std::move(text))); }

std::string TOptions::GetFileName() { return GetDataFolder() + "options.ini"; }

bool TOptions::GetOption(const std::string& name, bool defaultValue) const {
    try {
        return ini_.ReadBool(kSection, name, defaultValue);
    } catch (...) {
        return defaultValue;
    }
}

int TOptions::GetOption(const std::string& name, int defaultValue) const {
    try {
        return ini_.ReadInteger(kSection, name, defaultValue);
    } catch (...) {
        return defaultValue;
    }
}

std::string TOptions::GetOption(const std::string& name, const std::string& defaultValue) const {
    try {
        return ini_.ReadString(kSection, name, defaultValue);
    } catch (...) {
        return defaultValue;
    }
}

TDateTime TOptions::GetDateTimeOption(const std::string& name, TDateTime defaultValue) const {
    // The separator is chosen per parse instead of switching a process-wide setting, so formatting on
    // another thread never sees a borrowed separator.
    try {
        std::string text = ini_.ReadString(kSection, name, FloatText(defaultValue));
        double value = 0;
        if (ParseFloat(text, '.', value) || ParseFloat(text, ',', value)) return value;
    } catch (...) {
    }
    return defaultValue;
}

double TOptions::GetFloatOption(const std::string& name, double defaultValue) const {
    return GetDateTimeOption(name, defaultValue);
}

std::string TOptions::GetDateTimeStr(const std::string& name, const std::string& defaultValue) const {
    try {
        TDateTime value = GetDateTimeOption(name, 0);
        if (value != 0) return GetDateTimeStr(value);
    } catch (...) {
    }
    return defaultValue;
}

std::string TOptions::GetDateTimeStr(TDateTime value) {
    DateTimeParts parts = DecodeDateTime(value);
    std::tm tm{};
    tm.tm_year = parts.year - 1900;
    tm.tm_mon = parts.month - 1;
    tm.tm_mday = parts.day;
    tm.tm_hour = parts.hour;
    tm.tm_min = parts.minute;
    tm.tm_sec = parts.second;
    tm.tm_isdst = -1;
    // The user's date and time formats, whatever the process's own locale is set to.
    locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    char buf[128];
    size_t n = loc ? strftime_l(buf, sizeof buf, "%x %X", &tm, loc) : std::strftime(buf, sizeof buf, "%x %X", &tm);
    if (loc) freelocale(loc);
    return std::string(buf, n);
}

void TOptions::SetOption(const std::string& name, bool value) {
    SetOption(name, std::string(value ? "1" : "0"));
}

void TOptions::SetOption(const std::string& name, int value) { SetOption(name, std::to_string(value)); }

void TOptions::SetOption(const std::string& name, const std::string& value) {
    try {
        ini_.WriteString(kSection, name, value);
    } catch (const EFileError&) {
        throw EFileError(Format("Unable to write to %s", {FileName()}));
    }
}

void TOptions::SetFloatOption(const std::string& name, double value) { SetOption(name, LocaleFloatText(value)); }

void TOptions::SetDateTimeOption(const std::string& name, TDateTime value) {
    SetOption(name, LocaleFloatText(value));
}

void TOptions::DeleteKey(const std::string& name) {
    try {
        ini_.DeleteKey(kSection, name);
    } catch (const EFileError&) {
        throw EFileError(Format("Unable to write to %s", {FileName()}));
    }
}

uint32_t TLanguageChoice::CodePage() const { return AnsiCodePageOfLanguage(id); }

TLanguageChoice ReadLanguageChoice(const TOptions& options) {
    TLanguageChoice choice;
    const std::string text = options.GetOption("LanguageID", "");
    choice.stored = !text.empty();
    if (choice.stored) choice.text = text;
    choice.id = static_cast<uint16_t>(ParseIniInteger(choice.text, choice.id) & 0xFFFF);
    return choice;
}

}  // namespace tellvane
