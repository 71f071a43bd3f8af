#include "crypto/EncFileIO.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace tellvane {

namespace {

const char* const StreamReadError = "Stream read error";

// Temporary names need only be unlikely to collide (O_EXCL settles the rest), so one generator
// seeded once per thread serves: opening the system's source per file costs more than a key set-up.
std::string RandomSuffix() {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 generator{std::random_device{}()};
    uint64_t bits = generator();
    std::string s;
    for (int i = 0; i < 12; ++i, bits /= 36) s += digits[bits % 36];
    return s;
}

}  // namespace

TInputFile::TInputFile(const std::string& path) : path_(path) {
    if (const int err = FileCallHookAnswer("open", path)) throw EFileError(CannotOpenMessage(path, err), err);
    TParentFolder parent;
    if (!OpenParentFolder(path, parent)) {
        if (errno == ELOOP) throw ENotRegularFile(path, TEntryKind::Symlink);
        throw EFileError(CannotOpenMessage(path, errno), errno);
    }
    folder_ = parent.folder;
    // Links, pipes and devices are refused without blocking: a pipe would wait for a writer.
    fd_ = OpenRegularFileIn(parent, path, O_RDONLY);
    identity_ = *DescriptorIdentity(fd_);
    // The body is read once from start to end.
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

TInputFile::TInputFile(const TOutputFile& written) : path_(written.TempPath()), folder_(written.Folder()) {
    fd_ = fcntl(written.Fd(), F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) throw EFileError(CannotOpenMessage(path_, errno), errno);
    identity_ = *DescriptorIdentity(fd_);
}

TInputFile::~TInputFile() {
    if (fd_ >= 0) close(fd_);
}

int64_t TInputFile::Size() const {
    struct stat st {};
    if (fstat(fd_, &st) != 0) throw EFileError(StreamReadError);
    return static_cast<int64_t>(st.st_size);
}

size_t TInputFile::ReadSomeAt(int64_t offset, void* buffer, size_t count) const {
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(StreamReadError);
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void TInputFile::ReadAt(int64_t offset, void* buffer, size_t count) const {
    if (ReadSomeAt(offset, buffer, count) != count) throw EFileError(StreamReadError);
}

bool TInputFile::IsSameFileIn(const std::string& name) const {
    struct stat mine {}, other {};
    if (fstat(fd_, &mine) != 0 || fstatat(folder_->get(), name.c_str(), &other, 0) != 0) return false;
    return mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

TOutputFile::TOutputFile(std::string finalPath, const TFileIdentity& like) : finalPath_(std::move(finalPath)) {
    TParentFolder parent;
    if (!OpenParentFolder(finalPath_, parent)) throw EFileError(CannotCreateMessage(finalPath_, errno));
    folder_ = parent.folder;
    Create(like);
}

TOutputFile::TOutputFile(TFolderRef folder, std::string finalPath, const TFileIdentity& like)
    : folder_(std::move(folder)), finalPath_(std::move(finalPath)) {
    Create(like);
}

void TOutputFile::Create(const TFileIdentity& like) {
    finalName_ = ExtractFileName(finalPath_);
    const int dir = folder_->get();
    // Replacing a file refuses a read-only one, as creating over it would.
    struct stat st {};
    if (fstatat(dir, finalName_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode)) throw EFileError(CannotCreateMessage(finalPath_, EISDIR));
        if (S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw EFileError(CannotCreateMessage(finalPath_, EACCES));
    }
    const std::string folder = ExtractFilePath(finalPath_);
    for (int attempt = 0; attempt < 16; ++attempt) {
        tempName_ = ".tellvane-" + RandomSuffix() + ".part";
        tempPath_ = folder + tempName_;
        // Private from the first byte; the input's bits follow before any content. Readable too,
        // so that an inner layer is read back through this very descriptor.
        fd_ = openat(dir, tempName_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            // Only root may give a file away; anyone else keeps it as their own.
            if (like.owner != geteuid() || like.group != getegid()) (void)!fchown(fd_, like.owner, like.group);
            if (fchmod(fd_, like.mode & 0777) != 0) {
                const int err = errno;
                Discard();
                throw EFileError(CannotCreateMessage(finalPath_, err));
            }
            return;
        }
        if (errno != EEXIST) break;
    }
    const int err = errno;
    tempPath_.clear();
    tempName_.clear();
    throw EFileError(CannotCreateMessage(finalPath_, err));
}

bool TOutputFile::FinalExists() const {
    struct stat st {};
    return fstatat(folder_->get(), finalName_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

TOutputFile::TOutputFile(std::string finalPath)
    : TOutputFile(std::move(finalPath), TFileIdentity{.mode = 0600, .owner = geteuid(), .group = getegid()}) {}

TOutputFile::~TOutputFile() {
    if (!committed_) Discard();
}

void TOutputFile::Write(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        const ssize_t n = write(fd_, p, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(WriteFailureMessage(finalPath_, errno));
        }
        p += n;
        count -= static_cast<size_t>(n);
    }
}

void TOutputFile::Commit(bool durable, bool mayReplace) {
    if (durable) {
        int err = FileCallHookAnswer("fsync", tempPath_);
        if (err == 0 && fsync(fd_) != 0) err = errno;
        if (err != 0) throw EFileError(WriteFailureMessage(finalPath_, err));
    }
    if (close(fd_) != 0) {
        const int err = errno;
        fd_ = -1;
        throw EFileError(WriteFailureMessage(finalPath_, err));
    }
    fd_ = -1;
    if (const int err = FileCallHookAnswer("rename", finalPath_)) throw EFileError(CannotCreateMessage(finalPath_, err));
    const int dir = folder_->get();
    const char* temp = tempName_.c_str();
    const char* final = finalName_.c_str();
    int rc = mayReplace ? renameat(dir, temp, dir, final) : renameat2(dir, temp, dir, final, RENAME_NOREPLACE);
    // A file system without the no-replace rename: look, then rename (a narrow window remains).
    if (rc != 0 && !mayReplace && errno == EINVAL) {
        if (FinalExists()) {
            errno = EEXIST;
        } else {
            rc = renameat(dir, temp, dir, final);
        }
    }
    if (rc != 0) throw EFileError(CannotCreateMessage(finalPath_, errno));
    committed_ = true;
    if (durable) {
        const std::string folder = ExtractFilePath(finalPath_);
        int err = FileCallHookAnswer("fsyncdir", folder.empty() ? std::string(".") : folder);
        if (err == 0 && fsync(dir) != 0) err = errno;
        if (err != 0) throw EFileError(WriteFailureMessage(finalPath_, err));
    }
}

void TOutputFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!tempName_.empty()) unlinkat(folder_->get(), tempName_.c_str(), 0);
    tempPath_.clear();
    tempName_.clear();
}

std::string WriteFailureMessage(const std::string& path, int err) { return CannotCreateMessage(path, err); }

}  // namespace tellvane
