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
    // Links, pipes and devices are refused without blocking: a pipe would wait for a writer.
    fd_ = OpenRegularFile(path, O_RDONLY);
    identity_ = *DescriptorIdentity(fd_);
    // The body is read once from start to end.
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
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

bool TInputFile::IsSameFile(const std::string& path) const {
    struct stat mine {}, other {};
    if (fstat(fd_, &mine) != 0 || stat(path.c_str(), &other) != 0) return false;
    return mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

TOutputFile::TOutputFile(std::string finalPath, const TFileIdentity& like) : finalPath_(std::move(finalPath)) {
    // Replacing a file refuses a read-only one, as creating over it would.
    struct stat st {};
    if (lstat(finalPath_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw EFileError(CannotCreateMessage(finalPath_, EISDIR));
        if (S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw EFileError(CannotCreateMessage(finalPath_, EACCES));
    }
    const std::string folder = ExtractFilePath(finalPath_);
    for (int attempt = 0; attempt < 16; ++attempt) {
        tempPath_ = folder + ".tellvane-" + RandomSuffix() + ".part";
        // Private from the first byte; the input's bits follow before any content.
        fd_ = open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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
    throw EFileError(CannotCreateMessage(finalPath_, err));
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
    int rc = mayReplace ? rename(tempPath_.c_str(), finalPath_.c_str())
                        : renameat2(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, finalPath_.c_str(), RENAME_NOREPLACE);
    // A file system without the no-replace rename: look, then rename (a narrow window remains).
    if (rc != 0 && !mayReplace && errno == EINVAL) {
        struct stat st {};
        if (lstat(finalPath_.c_str(), &st) == 0) {
            errno = EEXIST;
        } else {
            rc = rename(tempPath_.c_str(), finalPath_.c_str());
        }
    }
    if (rc != 0) throw EFileError(CannotCreateMessage(finalPath_, errno));
    committed_ = true;
    if (durable && !SyncFolder(ExtractFilePath(finalPath_)))
        throw EFileError(WriteFailureMessage(finalPath_, errno));
}

void TOutputFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) unlink(tempPath_.c_str());
    tempPath_.clear();
}

std::string WriteFailureMessage(const std::string& path, int err) { return CannotCreateMessage(path, err); }

}  // namespace tellvane
