#pragma once
// The registry stand-in: an INI-style file in the data folder, one section per key path (root
// included, e.g. "HKEY_CURRENT_USER\Software\Kalvessa\Brevikon"), typed values ("s:" text,
// "d:" 32-bit number). Writes are atomic with mode 0600.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tellvane {

class ERegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRegistry {
public:
    // Stand-in kept in FILENAME; empty means "registry.ini" in the data folder.
    explicit TRegistry(std::string fileName = {});

    bool KeyExists(const std::string& root, const std::string& key) const;
    // Creating or writing a key that cannot be written raises ERegistryError
    // "Unable to open key "ROOT\KEY" for write".
    void CreateKey(const std::string& root, const std::string& key);
    void WriteString(const std::string& root, const std::string& key, const std::string& name,
                     const std::string& value);
    void WriteInteger(const std::string& root, const std::string& key, const std::string& name,
                      uint32_t value);
    std::optional<std::string> ReadString(const std::string& root, const std::string& key,
                                          const std::string& name) const;
    std::optional<uint32_t> ReadInteger(const std::string& root, const std::string& key,
                                        const std::string& name) const;
    std::vector<std::string> ValueNames(const std::string& root, const std::string& key) const;
    // Deleting raises ERegistryError as writing does; a missing key or value is not an error.
    void DeleteValue(const std::string& root, const std::string& key, const std::string& name);
    // Deletes the key and every key below it.
    void DeleteKey(const std::string& root, const std::string& key);

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
};

}  // namespace tellvane
