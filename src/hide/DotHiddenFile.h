#pragma once
// A folder's ".hidden" file: one name per line, the names the Linux file managers leave out of
// that folder's view. Lines we did not write are kept exactly as they are.
#include <cstddef>
#include <set>
#include <string>

namespace tellvane {

inline constexpr const char* DotHiddenName = ".hidden";
// A longer ".hidden" is not read: it is reported and left as it is.
inline constexpr size_t MaxDotHiddenSize = size_t{1} << 20;

// Edits of the file's text. A name is one whole line, compared exactly.
bool ListsHiddenName(const std::string& content, const std::string& name);
// CONTENT with NAME appended as a line (unchanged when already listed).
std::string WithHiddenName(const std::string& content, const std::string& name);
// CONTENT without any line equal to NAME; every other line and line break kept.
std::string WithoutHiddenName(const std::string& content, const std::string& name);
// True when some line is not empty.
bool HasHiddenEntries(const std::string& content);

// ".hidden" is read only as a regular file of at most MaxDotHiddenSize bytes and never followed as a
// link; one that is not such a file is left as it is and reported: ELOOP for a link, EISDIR for a
// folder, EINVAL for any other special file, EFBIG for a longer file.

// Lists NAME in FOLDER's ".hidden", creating the file when needed. Returns 0 or an errno value
// (EINVAL for a name that a line cannot hold: empty, ".", "..", or with "/" or a line break).
int ListInDotHidden(const std::string& folder, const std::string& name);
// The same in the folder open as FOLDER: nothing is reached by path.
int ListInDotHiddenAt(int folder, const std::string& name);
// Removes NAME from FOLDER's ".hidden"; the file goes when no entry is left in it.
// Returns 0 (also when the name was not listed) or an errno value.
int UnlistFromDotHidden(const std::string& folder, const std::string& name);
int UnlistFromDotHiddenAt(int folder, const std::string& name);
// The names listed in FOLDER's ".hidden" (empty when there is none or it cannot be read: a folder
// whose ".hidden" is refused is listed in full).
std::set<std::string> ReadHiddenNames(const std::string& folder);
bool IsListedInDotHidden(const std::string& folder, const std::string& name);

}  // namespace tellvane
