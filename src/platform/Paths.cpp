#include "platform/Paths.h"

#include <climits>
#include <unistd.h>

namespace tellvane {

std::string ExtractFileName(const std::string& path) {
    auto pos = path.rfind(PathDelim);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string ExtractFilePath(const std::string& path) {
    auto pos = path.rfind(PathDelim);
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == PathDelim) return path;
    return path + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
    if (path.size() > 1 && path.back() == PathDelim) return path.substr(0, path.size() - 1);
    return path;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == PathDelim) return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return path;
    std::string result = ExcludeTrailingPathDelimiter(cwd);
    size_t pos = 0;
    while (pos < path.size()) {
        size_t end = path.find(PathDelim, pos);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(pos, end - pos);
        if (!part.empty() && part != ".") result = IncludeTrailingPathDelimiter(result) + part;
        pos = end + 1;
    }
    // A trailing "/" marks a folder; it is kept.
    if (path.back() == PathDelim) result = IncludeTrailingPathDelimiter(result);
    return result;
}

std::string ExecutablePath() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

}  // namespace tellvane
