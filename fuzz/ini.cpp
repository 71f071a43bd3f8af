// The INI reader with the two stores built on it. The input is an INI text: parsed and written
// back (a second round must change nothing), loaded as base.dat by the hidden-items store (saved
// and loaded again, it must give the same items), and read by the options store from the text.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "base/Options.h"
#include "hide/HiddenConfig.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"

using namespace tellvane;

namespace {

bool SameItems(THiddenConfig& a, THiddenConfig& b) {
    if (a.Password != b.Password || a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a.GetItem(i).TypeOfItem != b.GetItem(i).TypeOfItem || a.GetItem(i).FilePath != b.GetItem(i).FilePath)
            return false;
    return true;
}

void CheckDocument(const std::string& text) {
    const TIniFile::Document doc = TIniFile::Document::Parse(text);
    const std::string once = doc.Serialize();
    if (TIniFile::Document::Parse(once).Serialize() != once) fuzz::Fail("a written document reads back otherwise");
    for (const auto& s : doc.Sections())
        for (const auto& e : s.entries)
            if (!e.IsKept() && doc.Find(s.name, e.key) != &e) fuzz::Fail("a key that cannot be found");
}

void CheckHiddenStore(const std::string& text) {
    const std::string baseDat = GetDataFolder() + "base.dat";
    fuzz::WriteFile(baseDat, text);
    THiddenConfig fromText, fromFile;
    fromText.LoadFromText(text);
    fromFile.LoadFromFile();
    if (!SameItems(fromText, fromFile)) fuzz::Fail("base.dat reads otherwise from the file");
    try {
        fromFile.SaveToFile();
    } catch (const EHiddenConfigError&) {
        if (ReadWholeFile(baseDat) != text) fuzz::Fail("a refused save changed base.dat");
        return;
    }
    THiddenConfig again;
    again.LoadFromFile();
    if (!SameItems(fromFile, again)) fuzz::Fail("the saved store reads back otherwise");
}

void ReadOptions(const std::string& text) {
    const TOptions options = TOptions::FromText(text);
    const TLanguageChoice language = ReadLanguageChoice(options);
    if (language.id != (options.GetOption("LanguageID", 1033) & 0xFFFF) ||
        language.text != options.GetOption("LanguageID", "1033"))
        fuzz::Fail("the language choice reads the option otherwise");
    std::vector<std::string> names = {"LanguageID", "IntegrateContextMenu", "CascadeContextMenu"};
    const TIniFile::Document doc = TIniFile::Document::Parse(text);
    // A few of the text's own keys are enough.
    if (const auto* s = doc.FindSection("Options"))
        for (size_t i = 0; i < s->entries.size() && i < 8; ++i) names.push_back(s->entries[i].key);
    for (const std::string& name : names) {
        options.GetOption(name, false);
        options.GetOption(name, 7);
        options.GetOption(name, "x");
        options.GetFloatOption(name, 1.5);
        options.GetDateTimeOption(name, 2.0);
        options.GetDateTimeStr(name, "none");
    }
}

}  // namespace

int tellvane::fuzz::Ini(const uint8_t* data, size_t size) {
    fuzz::ScratchFolder();
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckDocument(text);
    CheckHiddenStore(text);
    ReadOptions(text);
    return 0;
}

std::string tellvane::fuzz::IniOutcome(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string sections;
    const TIniFile::Document doc = TIniFile::Document::Parse(text);
    for (const auto& s : doc.Sections())
        sections += (sections.empty() ? "[" : ", [") + fuzz::Printable(s.name) + "]";
    THiddenConfig store;
    store.LoadFromText(text);
    return "accepted: sections " + (sections.empty() ? std::string("none") : sections) + "; " +
           std::to_string(store.Count()) + " hidden items";
}
