#include "hide/DotHiddenFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <vector>

#include "platform/FileDescriptor.h"
#include "platform/FolderWalk.h"
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

// FOLDER's ".hidden" as it was read: whether it exists, its status and its text.
struct TDotHidden {
    bool exists = false;
    struct stat st {};
    std::string content;
};

// Reads PATH as a plain file only, so that a link or a special file planted under that name cannot
// make us read elsewhere, hang (a FIFO) or exhaust memory (a device): a link is refused with ELOOP,
// a folder with EISDIR, any other non-regular file with EINVAL, more than MaxDotHiddenSize bytes
// with EFBIG. A missing file reads as empty. Returns 0 or an errno value.
int ReadDotHidden(int folder, TDotHidden& file) {
    file = {};
    TFileDescriptor fd(openat(folder, DotHiddenName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return errno == ENOENT ? 0 : errno;
    if (fstat(fd.get(), &file.st) != 0) return errno;
    if (S_ISDIR(file.st.st_mode)) return EISDIR;
    if (!S_ISREG(file.st.st_mode)) return EINVAL;
    if (file.st.st_size > static_cast<off_t>(MaxDotHiddenSize)) return EFBIG;
    file.exists = true;
    char buf[8192];
    for (;;) {
        ssize_t n = read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        file.content.append(buf, static_cast<size_t>(n));
        if (file.content.size() > MaxDotHiddenSize) return EFBIG;  // grew while we read
    }
}

// Replaces the ".hidden" read as OLD in the open FOLDER by CONTENT through a temporary file in
// the same folder, with the mode and the owner OLD had (a new file gets 0644 and, when we run as
// root, the folder's owner, so that the folder's user can still edit it). Returns 0 or an errno value.
int ReplaceContent(int folder, const TDotHidden& old, const std::string& content) {
    mode_t mode = 0644;
    struct stat owner = old.st;
    bool haveOwner = old.exists;
    if (old.exists) {
        mode = old.st.st_mode & 07777;
    } else if (fstat(folder, &owner) == 0) {
        haveOwner = true;
    }
    thread_local std::mt19937_64 generator{std::random_device{}()};
    TFileDescriptor fd;
    std::string temp;
    for (int attempt = 0; attempt < 16 && !fd.valid(); ++attempt) {
        temp = std::string(DotHiddenName) + "." + std::to_string(generator() % 1000000000u);
        fd = TFileDescriptor(openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.valid() && errno != EEXIST) break;
    }
    if (fd.get() < 0) return errno;
    auto fail = [&](int err) {
        unlinkat(folder, temp.c_str(), 0);
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
    if (renameat(folder, temp.c_str(), folder, DotHiddenName) != 0) return fail(errno);
    return 0;
}

// FOLDER opened for its ".hidden" (below the named part without following a link).
TFileDescriptor OpenFolder(const std::string& folder) {
    return TFileDescriptor(OpenFolderBelowRoot(folder.empty() ? std::string("./") : folder));
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
    const TFileDescriptor fd = OpenFolder(folder);
    return fd.valid() ? ListInDotHiddenAt(fd.get(), name) : errno;
}

int ListInDotHiddenAt(int folder, const std::string& name) {
    if (!IsListableName(name)) return EINVAL;
    TDotHidden file;
    if (int err = ReadDotHidden(folder, file)) return err;
    if (ListsHiddenName(file.content, name)) return 0;
    return ReplaceContent(folder, file, WithHiddenName(file.content, name));
}

int UnlistFromDotHidden(const std::string& folder, const std::string& name) {
    const TFileDescriptor fd = OpenFolder(folder);
    if (fd.valid()) return UnlistFromDotHiddenAt(fd.get(), name);
    return errno == ENOENT ? 0 : errno;  // a folder that is gone lists nothing
}

int UnlistFromDotHiddenAt(int folder, const std::string& name) {
    if (!IsListableName(name)) return EINVAL;
    TDotHidden file;
    if (int err = ReadDotHidden(folder, file)) return err;
    if (!ListsHiddenName(file.content, name)) return 0;
    std::string rest = WithoutHiddenName(file.content, name);
    if (!HasHiddenEntries(rest)) return unlinkat(folder, DotHiddenName, 0) == 0 || errno == ENOENT ? 0 : errno;
    return ReplaceContent(folder, file, rest);
}

std::set<std::string> ReadHiddenNames(const std::string& folder) {
    std::set<std::string> names;
    TDotHidden file;
    const TFileDescriptor fd = OpenFolder(folder);
    if (!fd.valid() || ReadDotHidden(fd.get(), file) != 0) return names;
    for (auto& line : SplitLines(file.content))
        if (!line.empty()) names.insert(std::move(line));
    return names;
}

bool IsListedInDotHidden(const std::string& folder, const std::string& name) {
    return ReadHiddenNames(folder).count(name) != 0;
}

}  // namespace tellvane
