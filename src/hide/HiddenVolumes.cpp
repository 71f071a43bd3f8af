#include "hide/HiddenVolumes.h"

#include <algorithm>

#include "platform/Paths.h"
#include "platform/Registry.h"

namespace tellvane {
namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

std::string Escape(const std::string& mountPoint) {
    static const char* const digits = "01234567";
    std::string out;
    for (char c : mountPoint) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\\') {
            auto u = static_cast<unsigned char>(c);
            out += '\\';
            out += digits[(u >> 6) & 7];
            out += digits[(u >> 3) & 7];
            out += digits[u & 7];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string VolumeMountPoint(const std::string& drivePath) { return ExcludeTrailingPathDelimiter(drivePath); }

std::vector<std::string> ParseVolumeList(const std::string& text) {
    std::vector<std::string> volumes;
    std::string current;
    auto flush = [&] {
        if (!current.empty()) volumes.push_back(current);
        current.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == ' ' || c == '\t') {
            flush();
        } else if (c == '\\' && i + 3 < text.size() && IsOctal(text[i + 1]) && IsOctal(text[i + 2]) &&
                   IsOctal(text[i + 3])) {
            current += static_cast<char>(((text[i + 1] - '0') << 6) | ((text[i + 2] - '0') << 3) | (text[i + 3] - '0'));
            i += 3;
        } else {
            current += c;
        }
    }
    flush();
    return volumes;
}

std::string FormatVolumeList(const std::vector<std::string>& volumes) {
    std::string text;
    for (const auto& v : volumes) {
        if (v.empty()) continue;
        if (!text.empty()) text += ' ';
        text += Escape(v);
    }
    return text;
}

std::vector<std::string> WithVolume(const std::vector<std::string>& volumes, const std::string& mountPoint) {
    std::vector<std::string> result = volumes;
    if (std::find(result.begin(), result.end(), mountPoint) == result.end()) result.push_back(mountPoint);
    return result;
}

std::vector<std::string> WithoutVolume(const std::vector<std::string>& volumes, const std::string& mountPoint) {
    std::vector<std::string> result = volumes;
    std::erase(result, mountPoint);
    return result;
}

std::vector<std::string> ReadHiddenVolumes(const std::string& registryFile) {
    TRegistry reg(registryFile);
    auto text = reg.ReadString(PoliciesRoot, PoliciesKey, HiddenVolumesValue);
    return text ? ParseVolumeList(*text) : std::vector<std::string>{};
}

void WriteHiddenVolumes(const std::vector<std::string>& volumes, const std::string& registryFile) {
    TRegistry reg(registryFile);
    reg.WriteString(PoliciesRoot, PoliciesKey, HiddenVolumesValue, FormatVolumeList(volumes));
}

bool IsVolumeHidden(const std::string& mountPoint, const std::string& registryFile) {
    auto volumes = ReadHiddenVolumes(registryFile);
    return std::find(volumes.begin(), volumes.end(), VolumeMountPoint(mountPoint)) != volumes.end();
}

}  // namespace tellvane
