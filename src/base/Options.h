#pragma once
// Typed access to section "Options" of DataFolder + "options.ini"; every call goes to the file.
#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "platform/IniFile.h"

namespace tellvane {

class TOptions {
public:
    TOptions();  // DataFolder + "options.ini"
    explicit TOptions(std::string fileName);  // an empty name means GetFileName()
    // The options of the INI text TEXT, for reading only (writes throw std::logic_error).
    static TOptions FromText(std::string text);

    static std::string GetFileName();
    const std::string& FileName() const { return ini_.FileName(); }

    // Reads return DEFAULTVALUE for a missing file or key and for a value they cannot parse.
    bool GetOption(const std::string& name, bool defaultValue) const;
    int GetOption(const std::string& name, int defaultValue) const;
    std::string GetOption(const std::string& name, const std::string& defaultValue) const;
    std::string GetOption(const std::string& name, const char* defaultValue) const {
        return GetOption(name, std::string(defaultValue));
    }
    double GetFloatOption(const std::string& name, double defaultValue) const;
    TDateTime GetDateTimeOption(const std::string& name, TDateTime defaultValue) const;

    // Every write reaches the file at once; a file that cannot be written throws EFileError
    // "Unable to write to FILE".
    void SetOption(const std::string& name, bool value);
    void SetOption(const std::string& name, int value);
    void SetOption(const std::string& name, const std::string& value);
    void SetOption(const std::string& name, const char* value) { SetOption(name, std::string(value)); }
    void SetFloatOption(const std::string& name, double value);
    void SetDateTimeOption(const std::string& name, TDateTime value);
    void DeleteKey(const std::string& name);

    // The stored date-time in the locale's short date and long time format, or DEFAULTVALUE when
    // none (or 0) is stored.
    std::string GetDateTimeStr(const std::string& name, const std::string& defaultValue) const;
    // VALUE in the locale's short date and long time format.
    static std::string GetDateTimeStr(TDateTime value);

private:
    explicit TOptions(TIniFile ini) : ini_(std::move(ini)) {}
    TIniFile ini_;
};

// The option "LanguageID", read once at start-up and handed to all that need it: the language
// manager takes its number, the description files "cryptos" and "shreds" + text + ".ini" its
// text as stored (0x407 is language 1031, yet names "cryptos0x407.ini").
struct TLanguageChoice {
    std::string text = "1033";
    uint16_t id = 1033;  // the value read as an integer, low 16 bits; 1033 when it is none
    bool stored = false;  // the options hold a "LanguageID" (it then wins over the locale)
    // The ANSI code page of the language, for description files without a byte-order mark.
    uint32_t CodePage() const;
};
TLanguageChoice ReadLanguageChoice(const TOptions& options);

}  // namespace tellvane
