#pragma once
// A window's translation component: which properties of which controls are translatable, their
// design texts, and applying a language file's section to them. The window supplies its table of
// IDs and the property access; this class holds the rules.
#include <cstdint>
#include <string>
#include <vector>

namespace tellvane {

struct TQuenLang_CompTranslation;

struct TQuenLang_PropEntry {
    int32_t iID = 0;
    std::string ComponentName;  // the window's own name for its own properties
    std::string wsPropName;     // "Caption", "Hint", "Text", "Items", "Filter", "Title"
    std::string wsDefLangValue;
};

class TQuenLanguageController {
public:
    // SECTIONNAME: the window's section in a language file (e.g. "MainForm").
    TQuenLanguageController(std::string sectionName, std::vector<TQuenLang_PropEntry> entries);
    virtual ~TQuenLanguageController();
    TQuenLanguageController(const TQuenLanguageController&) = delete;
    TQuenLanguageController& operator=(const TQuenLanguageController&) = delete;

    const std::string& ActualSectionName() const { return sectionName_; }
    const std::vector<TQuenLang_PropEntry>& Entries() const { return entries_; }

    // Run when the window has loaded: drop entries of missing controls, take the design texts
    // as the default-language texts, then translate into the current language.
    void FormLoaded();
    // Sets every entry's property to the section's text for its ID, else to its default text.
    void ApplySection(const TQuenLang_CompTranslation* section);

    // The design-text rule: not empty and holding a Latin letter or a character above U+040D.
    static bool IsTranslatableText(const std::string& text);

protected:
    virtual bool HasComponent(const std::string& component) const = 0;
    virtual std::string GetProperty(const std::string& component, const std::string& property) const = 0;
    virtual void SetProperty(const std::string& component, const std::string& property, const std::string& value) = 0;
    // Properties that share one text (a label's "Caption" and "Text") share a slot: when the
    // section gives one of them, the design text of the other does not overwrite it.
    virtual std::string TextSlot(const std::string& component, const std::string& property) const {
        return component + "." + property;
    }

private:
    std::string sectionName_;
    std::vector<TQuenLang_PropEntry> entries_;
};

}  // namespace tellvane
