#include "platform/Registry.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/TextFormat.h"

namespace tellvane {
namespace {

std::string SectionName(const std::string& root, const std::string& key) {
    std::string k = key;
    while (!k.empty() && k.back() == '\\') k.pop_back();
    return k.empty() ? root : root + "\\" + k;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

TRegistry::TRegistry(std::string fileName) : fileName_(std::move(fileName)) {
    if (fileName_.empty()) fileName_ = GetDataFolder() + "registry.ini";
}

bool TRegistry::KeyExists(const std::string& root, const std::string& key) const {
    // A key exists as well when only keys below it hold values.
    const std::string name = SectionName(root, key);
    const TIniFile::Document doc = LoadIniDocument(fileName_);
    for (const auto& s : doc.Sections())
        if (s.name.size() == name.size() ? StartsWithNoCase(s.name, name) : StartsWithNoCase(s.name, name + "\\"))
            return true;
    return false;
}

namespace {
template <class Edit>
void EditOrRaise(const std::string& fileName, const std::string& root, const std::string& key, Edit&& edit) {
    try {
        // A stand-in without write permission is refused even to root, as a protected key is.
        struct stat st {};
        if (stat(fileName.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw EFileError(CannotCreateMessage(fileName, EACCES));
        TIniFile::Document doc = LoadIniDocument(fileName);
        edit(doc);
        SaveIniDocument(fileName, doc);
    } catch (const EFileError&) {
        throw ERegistryError(Format("Unable to open key \"%s\\%s\" for write", {root, key}));
    }
}
}  // namespace

void TRegistry::CreateKey(const std::string& root, const std::string& key) {
    EditOrRaise(fileName_, root, key, [&](TIniFile::Document& doc) {
        std::string name = SectionName(root, key);
        if (!doc.FindSection(name)) doc.Sections().push_back({name, {}});
    });
}

void TRegistry::WriteString(const std::string& root, const std::string& key, const std::string& name,
                            const std::string& value) {
    EditOrRaise(fileName_, root, key,
                [&](TIniFile::Document& doc) { doc.Set(SectionName(root, key), name.empty() ? "@" : name, "s:" + value); });
}

void TRegistry::WriteInteger(const std::string& root, const std::string& key, const std::string& name,
                             uint32_t value) {
    EditOrRaise(fileName_, root, key, [&](TIniFile::Document& doc) {
        doc.Set(SectionName(root, key), name.empty() ? "@" : name, "d:" + std::to_string(value));
    });
}

std::optional<std::string> TRegistry::ReadString(const std::string& root, const std::string& key,
                                                 const std::string& name) const {
    TIniFile::Document doc = LoadIniDocument(fileName_);
    const auto* e = doc.Find(SectionName(root, key), name.empty() ? "@" : name);
    if (!e || e->value.rfind("s:", 0) != 0) return std::nullopt;
    return e->value.substr(2);
}

std::optional<uint32_t> TRegistry::ReadInteger(const std::string& root, const std::string& key,
                                               const std::string& name) const {
    TIniFile::Document doc = LoadIniDocument(fileName_);
    const auto* e = doc.Find(SectionName(root, key), name.empty() ? "@" : name);
    if (!e || e->value.rfind("d:", 0) != 0) return std::nullopt;
    char* end = nullptr;
    unsigned long v = std::strtoul(e->value.c_str() + 2, &end, 10);
    if (*end != 0 || v > 0xFFFFFFFFul) return std::nullopt;
    return static_cast<uint32_t>(v);
}

std::vector<std::string> TRegistry::ValueNames(const std::string& root, const std::string& key) const {
    std::vector<std::string> names;
    TIniFile::Document doc = LoadIniDocument(fileName_);
    if (const auto* s = doc.FindSection(SectionName(root, key)))
        for (const auto& e : s->entries)
            if (!e.IsKept()) names.push_back(e.key == "@" ? std::string() : e.key);
    return names;
}

void TRegistry::DeleteValue(const std::string& root, const std::string& key, const std::string& name) {
    if (!KeyExists(root, key)) return;
    EditOrRaise(fileName_, root, key,
                [&](TIniFile::Document& doc) { doc.Remove(SectionName(root, key), name.empty() ? "@" : name); });
}

void TRegistry::DeleteKey(const std::string& root, const std::string& key) {
    if (!KeyExists(root, key)) return;
    EditOrRaise(fileName_, root, key, [&](TIniFile::Document& doc) {
        const std::string name = SectionName(root, key);
        std::erase_if(doc.Sections(), [&](const TIniFile::Document::Section& s) {
            return s.name.size() == name.size() ? StartsWithNoCase(s.name, name)
                                                : StartsWithNoCase(s.name, name + "\\");
        });
    });
}

}  // namespace tellvane
