#include "hide/DotHiddenFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/FileDescriptor.h"
#include "platform/Paths.h"

namespace tellvane {
namespace {

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = content.find('\n', pos);
        if (end == std::string::npos) end = content.size();
        lines.push_back(content.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

bool IsListableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\n\r\0", 4)) == std::string::npos;
}

std::string DotHiddenPath(const std::string& folder) {
    return (folder.empty() ? std::string("./") : IncludeTrailingPathDelimiter(folder)) + DotHiddenName;
}

// Whole content in CONTENT; a missing file reads as empty. Returns 0 or an errno value.
int ReadContent(const std::string& path, std::string& content) {
    content.clear();
    TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return errno == ENOENT ? 0 : errno;
    char buf[8192];
    for (;;) {
        ssize_t n = read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        content.append(buf, static_cast<size_t>(n));
    }
}

// Replaces PATH by CONTENT through a temporary file in the same folder, keeping the mode and the
// owner of the file it replaces (a new file gets 0644 and, when we run as root, the folder's
// owner, so that the folder's user can still edit it). Returns 0 or an errno value.
int ReplaceContent(const std::string& folder, const std::string& path, const std::string& content) {
    mode_t mode = 0644;
    struct stat owner {};
    bool haveOwner = false;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
        owner = st;
        haveOwner = true;
    } else if (stat(folder.empty() ? "." : folder.c_str(), &st) == 0) {
        owner = st;
        haveOwner = true;
    }
    std::string temp = path + ".XXXXXX";
    TFileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return errno;
    auto fail = [&](int err) {
        unlink(temp.c_str());
        return err;
    };
    if (fchmod(fd.get(), mode) != 0) return fail(errno);
    // A failed change of owner only leaves the file owned by us; it still does its work.
    if (haveOwner && geteuid() == 0) (void)!fchown(fd.get(), owner.st_uid, owner.st_gid);
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd.get(), content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd.get()) != 0) return fail(errno);
    if (close(fd.release()) != 0) return fail(errno);
    if (rename(temp.c_str(), path.c_str()) != 0) return fail(errno);
    return 0;
}

}  // namespace

bool ListsHiddenName(const std::string& content, const std::string& name) {
    for (const auto& line : SplitLines(content))
        if (line == name) return true;
    return false;
}

std::string WithHiddenName(const std::string& content, const std::string& name) {
    if (ListsHiddenName(content, name)) return content;
    std::string result = content;
    if (!result.empty() && result.back() != '\n') result += '\n';
    return result + name + '\n';
}

std::string WithoutHiddenName(const std::string& content, const std::string& name) {
    std::string result;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = content.find('\n', pos);
        size_t next = end == std::string::npos ? content.size() : end + 1;
        size_t lineEnd = end == std::string::npos ? content.size() : end;
        if (content.compare(pos, lineEnd - pos, name) != 0) result.append(content, pos, next - pos);
        pos = next;
    }
    return result;
}

bool HasHiddenEntries(const std::string& content) {
    for (const auto& line : SplitLines(content))
        if (!line.empty()) return true;
    return false;
}

int ListInDotHidden(const std::string& folder, const std::string& name) {
    if (!IsListableName(name)) return EINVAL;
    const std::string path = DotHiddenPath(folder);
    std::string content;
    if (int err = ReadContent(path, content)) return err;
    if (ListsHiddenName(content, name)) return 0;
    return ReplaceContent(folder, path, WithHiddenName(content, name));
}

int UnlistFromDotHidden(const std::string& folder, const std::string& name) {
    if (!IsListableName(name)) return EINVAL;
    const std::string path = DotHiddenPath(folder);
    std::string content;
    if (int err = ReadContent(path, content)) return err;
    if (!ListsHiddenName(content, name)) return 0;
    std::string rest = WithoutHiddenName(content, name);
    if (!HasHiddenEntries(rest)) return unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
    return ReplaceContent(folder, path, rest);
}

std::set<std::string> ReadHiddenNames(const std::string& folder) {
    std::set<std::string> names;
    std::string content;
    if (ReadContent(DotHiddenPath(folder), content) != 0) return names;
    for (auto& line : SplitLines(content))
        if (!line.empty()) names.insert(std::move(line));
    return names;
}

bool IsListedInDotHidden(const std::string& folder, const std::string& name) {
    return ReadHiddenNames(folder).count(name) != 0;
}

}  // namespace tellvane
