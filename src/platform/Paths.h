#pragma once
// Path text helpers. Paths are UTF-8 with "/" as the separator; the name part of a path is the
// text after the last "/".
#include <string>

namespace tellvane {

constexpr char PathDelim = '/';

std::string ExtractFileName(const std::string& path);
// The folder part with its trailing "/" ("" when the path has no "/").
std::string ExtractFilePath(const std::string& path);
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);
// PATH made absolute against the current folder ("." parts dropped; ".." kept for the system to
// resolve); an absolute PATH is returned as it is.
std::string AbsolutePath(const std::string& path);
// Full path of the running executable (from /proc/self/exe).
std::string ExecutablePath();

}  // namespace tellvane
