#pragma once
// Helpers shared by the test programs: temporary folders and whole-file access.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tellvane::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // Path of NAME inside the folder, as text.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::vector<uint8_t> ReadAll(const std::string& path);
std::string ReadText(const std::string& path);
void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> FromHex(const std::string& hex);
std::string ToHex(const uint8_t* data, size_t size);
std::string ToHex(const std::vector<uint8_t>& bytes);
// Deterministic filler bytes for round trips.
std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed = 1);

}  // namespace tellvane::test
