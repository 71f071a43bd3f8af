#include "platform/IniFile.h"

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/SecureWipe.h"

namespace tellvane {
namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

std::string UpperName(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

TIniFile::Document LoadOrEmpty(const std::string& fileName, uint32_t ansiCodePage) {
    try {
        return LoadIniDocument(fileName, ansiCodePage);
    } catch (const EFileError&) {
        // Reads behave as the profile functions: an unreadable file reads as empty.
        return {};
    }
}

}  // namespace

TIniFile::Document TIniFile::Document::Parse(const std::string& raw, uint32_t ansiCodePage) {
    Document doc;
    doc.indexed_ = true;
    Section* current = nullptr;
    size_t pos = 0;
    // A byte-order mark selects the encoding; without one the text is UTF-8, or, when it is not
    // valid UTF-8 and a code page is given, text in that code page.
    // base.dat holds the main password: the text is read through views, and every copy made
    // of it on the way is wiped.
    std::string converted, sanitized;
    const TWipeOnExit wipeConverted(converted), wipeSanitized(sanitized);
    std::string_view text = raw;
    if (text.starts_with("\xFF\xFE"))
        text = converted = Utf16BytesToUtf8(text.substr(2), false);
    else if (text.starts_with("\xFE\xFF"))
        text = converted = Utf16BytesToUtf8(text.substr(2), true);
    else if (text.starts_with("\xEF\xBB\xBF"))
        pos = 3;
    else if (ansiCodePage != 0 && (sanitized = SanitizeUtf8(raw)) != raw)
        text = converted = CodePageToUtf8(raw, ansiCodePage);
    // A second mark would be written at the start of the text and read back as the mark itself.
    while (text.substr(std::min(pos, text.size())).starts_with("\xEF\xBB\xBF")) pos += 3;
    auto keep = [&](std::string line) {
        // Every CR at the end goes: one left behind would be read back as the line's end.
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (current)
            current->entries.push_back({"", std::move(line)});
        else
            doc.preamble_.push_back(std::move(line));
    };
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string_view rawLine = text.substr(pos, end - pos);
        const std::string_view line = TrimView(rawLine);
        pos = end + 1;
        if (line.empty() || line[0] == ';') {
            keep(std::string(rawLine));
            continue;
        }
        if (line[0] == '[') {
            auto close = line.find(']');
            std::string name = Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            current = doc.FindSection(name);
            if (!current) {
                doc.index_.emplace(UpperName(name), doc.sections_.size());
                doc.sections_.push_back({name, {}});
                current = &doc.sections_.back();
            }
            continue;
        }
        auto eq = line.find('=');
        std::string key = eq == std::string_view::npos ? std::string() : Trim(line.substr(0, eq));
        // The first occurrence of a key wins, as the profile functions read it.
        bool seen = false;
        if (current)
            for (const auto& e : current->entries) seen = seen || EqualNoCase(e.key, key);
        if (!current || key.empty() || seen) {
            keep(std::string(rawLine));
            continue;
        }
        current->entries.push_back({key, Trim(line.substr(eq + 1))});
    }
    return doc;
}

TIniFile::Document::~Document() {
    // The values may hold the main password.
    for (auto& s : sections_)
        for (auto& e : s.entries) WipeString(e.value);
}

std::string TIniFile::Document::Serialize() const {
    // Sized up front and written without temporaries: the text holds the main password, and
    // neither an outgrown buffer nor a piece of it may be given back unwiped.
    size_t size = 0;
    for (const auto& line : preamble_) size += line.size() + 1;
    for (const auto& s : sections_) {
        size += s.name.size() + 4;
        for (const auto& e : s.entries) size += e.key.size() + e.value.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (const auto& line : preamble_) out.append(line).append("\n");
    for (const auto& s : sections_) {
        out.append("[").append(s.name).append("]\n");
        for (const auto& e : s.entries) {
            if (!e.IsKept()) out.append(e.key).append("=");
            out.append(e.value).append("\n");
        }
        // A blank line between sections, unless the section keeps one of its own.
        if (s.entries.empty() || !s.entries.back().IsKept() || !TrimView(s.entries.back().value).empty()) out += "\n";
    }
    return out;
}

const TIniFile::Document::Section* TIniFile::Document::FindSection(const std::string& name) const {
    if (indexed_) {
        auto it = index_.find(UpperName(name));
        return it == index_.end() ? nullptr : &sections_[it->second];
    }
    for (const auto& s : sections_)
        if (EqualNoCase(s.name, name)) return &s;
    return nullptr;
}

TIniFile::Document::Section* TIniFile::Document::FindSection(const std::string& name) {
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

void TIniFile::Document::DropIndex() {
    indexed_ = false;
    index_.clear();
}

const TIniFile::Document::Entry* TIniFile::Document::Find(const std::string& section, const std::string& key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const auto& e : s->entries)
        if (!e.IsKept() && EqualNoCase(e.key, key)) return &e;
    return nullptr;
}

void TIniFile::Document::Set(const std::string& section, const std::string& key, const std::string& value) {
    // A line break would let a value write keys or sections of its own.
    const auto hasLineBreak = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) || section.find(']') != std::string::npos ||
        key.find('=') != std::string::npos)
        throw std::invalid_argument("INI text may not hold a line break: \"" + key + "\"");
    Section* s = FindSection(section);
    if (!s) {
        if (indexed_) index_.emplace(UpperName(section), sections_.size());
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& e : s->entries)
        if (!e.IsKept() && EqualNoCase(e.key, key)) {
            if (value.size() > e.value.capacity()) WipeString(e.value);  // never freed holding the old value
            e.value = value;
            return;
        }
    // A new key goes after the section's last line of text, before its trailing blank lines.
    auto at = s->entries.end();
    while (at != s->entries.begin() && (at - 1)->IsKept() && Trim((at - 1)->value).empty()) --at;
    s->entries.insert(at, {key, value});
}

void TIniFile::Document::Remove(const std::string& section, const std::string& key) {
    Section* s = FindSection(section);
    if (!s) return;
    std::erase_if(s->entries, [&](const Entry& e) { return !e.IsKept() && EqualNoCase(e.key, key); });
}

void TIniFile::Document::RemoveSection(const std::string& section) {
    DropIndex();
    std::erase_if(sections_, [&](const Section& s) { return EqualNoCase(s.name, section); });
}

TIniFile::Document LoadIniDocument(const std::string& fileName, uint32_t ansiCodePage) {
    if (!PathExists(fileName)) return {};
    std::string text = ReadWholeFile(fileName);
    const TWipeOnExit wipe(text);
    return TIniFile::Document::Parse(text, ansiCodePage);
}

std::string CutToCharacters(const std::string& text, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // Every byte that does not continue a sequence starts a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == maxChars) return text.substr(0, i);
    }
    return text;
}

void SaveIniDocument(const std::string& fileName, const TIniFile::Document& doc) {
    std::string text = doc.Serialize();
    const TWipeOnExit wipe(text);
    AtomicWriteFile(fileName, text, 0600);
}

TIniFile TIniFile::FromText(std::string text, uint32_t ansiCodePage) {
    TIniFile ini("", ansiCodePage);
    ini.text_ = std::make_shared<const std::string>(std::move(text));
    return ini;
}

TIniFile::Document TIniFile::Load() const {
    return text_ ? Document::Parse(*text_, ansiCodePage_) : LoadOrEmpty(fileName_, ansiCodePage_);
}

TIniFile::Document TIniFile::LoadForUpdate() const {
    if (text_) throw std::logic_error("An INI text cannot be written");
    return LoadIniDocument(fileName_);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    Document doc = Load();
    const Document::Entry* e = doc.Find(section, key);
    return CutToCharacters(e ? e->value : defaultValue, MaxValueLength);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const {
    return ParseIniInteger(ReadString(section, key, ""), defaultValue);
}

int ParseIniInteger(const std::string& text, int defaultValue) {
    if (text.empty()) return defaultValue;
    const char* p = text.c_str();
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    int base = 10;
    if (p[0] == '$') {
        base = 16;
        ++p;
    } else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (*p == 0) return defaultValue;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(p, &end, base);
    if (*end != 0 || errno != 0 || *p == '-' || *p == '+' || *p == ' ') return defaultValue;
    if (negative) v = -v;
    if (base == 16 && v > 0x7FFFFFFFLL && v <= 0xFFFFFFFFLL) v -= 0x100000000LL;  // hex spells the bit pattern
    if (v < INT32_MIN || v > INT32_MAX) return defaultValue;
    return static_cast<int>(v);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const std::string& section) const {
    return Load().FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return Load().Find(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    const Document doc = Load();
    for (const auto& s : doc.Sections()) names.push_back(s.name);
    return names;
}

std::vector<std::string> TIniFile::ReadSectionKeys(const std::string& section) const {
    std::vector<std::string> keys;
    Document doc = Load();
    if (const auto* s = doc.FindSection(section))
        for (const auto& e : s->entries)
            if (!e.IsKept()) keys.push_back(e.key);
    return keys;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Update([&](Document& doc) { doc.Set(section, key, value); });
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key) {
    Update([&](Document& doc) { doc.Remove(section, key); });
}

void TIniFile::EraseSection(const std::string& section) {
    Update([&](Document& doc) { doc.RemoveSection(section); });
}

}  // namespace tellvane
