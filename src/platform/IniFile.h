#pragma once
// INI files with the semantics of the Windows profile functions: sections and keys compared without
// regard to case, every read goes to the file, values read up to 2047 characters, and every write
// reaches the file at once, atomically (temporary file, then rename) with mode 0600.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tellvane {

class TIniFile {
public:
    // ANSICODEPAGE, when not 0, reads a file without a byte-order mark that is not valid UTF-8 in
    // that code page (files written by hand in a language's own code page).
    explicit TIniFile(std::string fileName, uint32_t ansiCodePage = 0)
        : fileName_(std::move(fileName)), ansiCodePage_(ansiCodePage) {}
    // The INI text TEXT in place of a file (no name): reads parse it, writes throw std::logic_error.
    static TIniFile FromText(std::string text, uint32_t ansiCodePage = 0);
    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Decimal, "0x"/"$" hexadecimal; the default for a missing or malformed value.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSectionKeys(const std::string& section) const;

    // Writes throw EFileError ("Cannot create file ...") when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void DeleteKey(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);

    // Several changes in one atomic write: load, let EDIT change the document, save once.
    class Document;
    template <class Edit>
    void Update(Edit&& edit);

    static constexpr size_t MaxValueLength = 2047;

private:
    Document Load() const;          // an unreadable file reads as empty
    Document LoadForUpdate() const;  // throws EFileError for an unreadable file
    std::string fileName_;
    uint32_t ansiCodePage_;
    std::shared_ptr<const std::string> text_;  // set for FromText
};

// The parsed file: ordered sections with ordered keys; lookups ignore case. Lines that are no
// key of ours (comments, blank lines, text without "=", a key's later duplicates, lines before the
// first section) are kept as they stand and written back in place.
class TIniFile::Document {
public:
    struct Entry {
        std::string key;    // empty for a line kept as it stands
        std::string value;  // the line itself when KEY is empty
        bool IsKept() const { return key.empty(); }
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    Document() = default;
    Document(const Document&) = default;
    Document(Document&&) = default;
    Document& operator=(const Document&) = default;
    Document& operator=(Document&&) = default;
    ~Document();

    static Document Parse(const std::string& text, uint32_t ansiCodePage = 0);
    std::string Serialize() const;

    const Section* FindSection(const std::string& name) const;
    Section* FindSection(const std::string& name);
    const Entry* Find(const std::string& section, const std::string& key) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void Remove(const std::string& section, const std::string& key);
    void RemoveSection(const std::string& section);
    // Write access to the sections drops the index of their names.
    std::vector<Section>& Sections() {
        DropIndex();
        return sections_;
    }
    const std::vector<Section>& Sections() const { return sections_; }

private:
    void DropIndex();
    // Positions of the sections by upper-cased name, from parsing until someone may change the
    // list: a large file (a long hidden-items list) would otherwise cost a search per lookup.
    std::unordered_map<std::string, size_t> index_;
    bool indexed_ = false;
    std::vector<std::string> preamble_;  // lines before the first section
    std::vector<Section> sections_;
};

// Loads FILENAME (missing = empty document); throws EFileError when it exists but cannot be read.
TIniFile::Document LoadIniDocument(const std::string& fileName, uint32_t ansiCodePage = 0);
// TEXT cut to at most MAXCHARS characters, never inside a UTF-8 sequence.
std::string CutToCharacters(const std::string& text, size_t maxChars);
void SaveIniDocument(const std::string& fileName, const TIniFile::Document& doc);

// TEXT read as an integer the way ReadInteger reads a value: decimal, or hexadecimal after "0x" or
// "$", with a sign; DEFAULTVALUE when it is empty, malformed or out of range.
int ParseIniInteger(const std::string& text, int defaultValue);

template <class Edit>
void TIniFile::Update(Edit&& edit) {
    Document doc = LoadForUpdate();
    edit(doc);
    SaveIniDocument(fileName_, doc);
}

}  // namespace tellvane
