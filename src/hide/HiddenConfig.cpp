#include "hide/HiddenConfig.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

const char* const PasswordSection = "Password";
const char* const PasswordKey = "Password";
const char* const CountSection = "Count";
const char* const CountKey = "Count";
const char* const ItemSectionPrefix = "Item";
const char* const ItemTypeKey = "ItemType";
const char* const FilePathKey = "FilePath";

std::unique_ptr<THiddenConfig> g_store;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool EnclosedInQuotes(const std::string& v) {
    return v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front();
}

// INI readers drop blanks around a value and one pair of enclosing quotes, as the profile
// functions do; such a value is written inside double quotes so that it reads back unchanged.
std::string QuoteValue(const std::string& v) {
    if (v.empty()) return v;
    if (IsBlank(v.front()) || IsBlank(v.back()) || EnclosedInQuotes(v)) return "\"" + v + "\"";
    return v;
}

// Cut at MaxValueLength bytes without splitting a UTF-8 sequence.
std::string CutValue(std::string v) {
    if (v.size() <= THiddenConfig::MaxValueLength) return v;
    size_t end = THiddenConfig::MaxValueLength;
    while (end > 0 && (static_cast<unsigned char>(v[end]) & 0xC0) == 0x80) --end;
    v.resize(end);
    return v;
}

std::string ReadText(const TIniFile::Document& doc, const std::string& section, const std::string& key) {
    const TIniFile::Document::Entry* e = doc.Find(section, key);
    if (!e) return {};
    std::string v = e->value;
    if (EnclosedInQuotes(v)) v = v.substr(1, v.size() - 2);
    return CutValue(std::move(v));
}

// A whole decimal number, or hexadecimal after "$" or "0x", within 32 bits; otherwise DEFAULTVALUE.
int ReadInt(const TIniFile::Document& doc, const std::string& section, const std::string& key, int defaultValue) {
    std::string text = ReadText(doc, section, key);
    const char* p = text.c_str();
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    int base = 10;
    if (*p == '$') {
        base = 16;
        ++p;
    } else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (!std::isxdigit(static_cast<unsigned char>(*p))) return defaultValue;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(p, &end, base);
    if (*end != 0 || errno != 0) return defaultValue;
    if (negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return defaultValue;
    return static_cast<int>(v);
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    const auto lower = [](unsigned char c) { return static_cast<char>(std::tolower(c)); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool HasLineBreak(const std::string& text) { return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos; }

}  // namespace

void THiddenConfig::CheckStorablePath(const std::string& path) {
    if (HasLineBreak(path))
        throw EHiddenConfigError(Format(GetConstantValue("Hidden_path_line_break"), {path}));
    if (path.size() > MaxValueLength)
        throw EHiddenConfigError(
            Format(GetConstantValue("Hidden_path_too_long"), {static_cast<int>(MaxValueLength), path}));
}

std::string THiddenConfig::PasswordStorageProblem(const std::string& password) {
    // The text never repeats the password: it reaches the terminal, the log and message boxes.
    if (HasLineBreak(password)) return GetConstantValue("Main_password_line_break");
    if (password.size() > MaxValueLength)
        return Format(GetConstantValue("Main_password_too_long"), {static_cast<int>(MaxValueLength)});
    return {};
}

void THiddenConfig::CheckStorablePassword(const std::string& password) {
    const std::string problem = PasswordStorageProblem(password);
    if (!problem.empty()) throw EHiddenConfigError(problem);
}

std::string THiddenConfig::GetConfigFileName() {
    std::string name = GetDataFolder() + "base.dat";
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
    } else if (errno != EEXIST) {
        throw EFileError(CannotCreateMessage(name, errno));
    }
    return name;
}

void THiddenConfig::LoadFromFile() { LoadFromDocument(LoadIniDocument(GetConfigFileName())); }

void THiddenConfig::LoadFromText(const std::string& text) { LoadFromDocument(TIniFile::Document::Parse(text)); }

void THiddenConfig::LoadFromDocument(const TIniFile::Document& doc) {
    Password = ReadText(doc, PasswordSection, PasswordKey);
    int n = std::clamp(ReadInt(doc, CountSection, CountKey, 0), 0, MaxItems);
    FHiddenItems.reserve(FHiddenItems.size() + static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::string section = ItemSectionPrefix + std::to_string(i);
        // An ordinal outside the enumeration is kept as it is; the show routines treat any type
        // other than folder and drive as a file.
        auto type = static_cast<TItemType>(ReadInt(doc, section, ItemTypeKey, 0));
        FHiddenItems.push_back(std::make_unique<THiddenItem>(type, ReadText(doc, section, FilePathKey)));
    }
}

void THiddenConfig::SaveToFile() {
    const std::string name = GetConfigFileName();
    // Refuse before writing anything: a value with a line break would break the file's structure.
    CheckStorablePassword(Password);
    for (const auto& item : FHiddenItems) CheckStorablePath(item->FilePath);

    TIniFile::Document doc = LoadIniDocument(name);
    doc.Set(PasswordSection, PasswordKey, QuoteValue(Password));
    doc.Set(CountSection, CountKey, std::to_string(Count()));
    // Sections are found without regard to case, so an "[item1]" written by hand would shadow the
    // "[Item1]" appended below: every spelling of "Item" goes.
    std::erase_if(doc.Sections(), [](const TIniFile::Document::Section& s) {
        return ContainsIgnoringCase(s.name, ItemSectionPrefix);
    });
    // Every item section is gone: append them without a search per item, which would make a long
    // list take minutes to save.
    for (int i = 0; i < Count(); ++i) {
        doc.Sections().push_back(
            {ItemSectionPrefix + std::to_string(i),
             {{ItemTypeKey, std::to_string(static_cast<int>(FHiddenItems[i]->TypeOfItem))},
              {FilePathKey, QuoteValue(FHiddenItems[i]->FilePath)}}});
    }
    // One atomic replacement: an interrupted save leaves the previous list whole.
    SaveIniDocument(name, doc);
}

void THiddenConfig::AddItem(TItemType typeOfItem, const std::string& filePath) {
    CheckStorablePath(filePath);
    FHiddenItems.push_back(std::make_unique<THiddenItem>(typeOfItem, filePath));
    try {
        SaveToFile();
    } catch (...) {
        FHiddenItems.pop_back();  // the list stays what base.dat holds
        throw;
    }
}

void THiddenConfig::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw std::out_of_range(Format("List index out of bounds (%d)", {index}));
}

void THiddenConfig::DeleteItem(int index) {
    CheckIndex(index);
    std::unique_ptr<THiddenItem> item = std::move(FHiddenItems[static_cast<size_t>(index)]);
    FHiddenItems.erase(FHiddenItems.begin() + index);
    try {
        SaveToFile();
    } catch (...) {
        FHiddenItems.insert(FHiddenItems.begin() + index, std::move(item));
        throw;
    }
}

THiddenItem& THiddenConfig::GetItem(int index) {
    CheckIndex(index);
    return *FHiddenItems[static_cast<size_t>(index)];
}

const THiddenItem& THiddenConfig::GetItem(int index) const {
    CheckIndex(index);
    return *FHiddenItems[static_cast<size_t>(index)];
}

THiddenItem* THiddenConfig::FindItem(const std::string& filePath) {
    for (const auto& item : FHiddenItems)
        if (item->FilePath == filePath) return item.get();
    return nullptr;
}

void CreateHiddenConfig() {
    auto store = std::make_unique<THiddenConfig>();
    store->LoadFromFile();
    g_store = std::move(store);
}

void FreeHiddenConfig() {
    if (!g_store) return;
    std::unique_ptr<THiddenConfig> store = std::move(g_store);
    store->SaveToFile();
}

bool HiddenConfigCreated() { return g_store != nullptr; }

THiddenConfig& HiddenItemsStore() {
    if (!g_store) throw std::logic_error("The hidden-items store has not been created");
    return *g_store;
}

}  // namespace tellvane
