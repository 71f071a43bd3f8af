#include "shred/ShredAlgorithms.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"

namespace tellvane {

namespace {

TShredDriverObserver* g_observer = nullptr;

// The texts the program's stream layer uses for a failed read or write in the middle of a file.
constexpr const char* kReadError = "Stream read error";
constexpr const char* kWriteError = "Stream write error";

struct TFreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};

void ReadFully(int fd, uint8_t* data, size_t size, off_t pos) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size, pos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EFileError(kReadError);  // an error, or the file shrank under us
        data += n;
        size -= static_cast<size_t>(n);
        pos += n;
    }
}

void WriteFully(int fd, const uint8_t* data, size_t size, off_t pos) {
    while (size > 0) {
        const ssize_t n = g_observer ? g_observer->Write(fd, data, size, pos) : ::pwrite(fd, data, size, pos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EFileError(kWriteError);
        data += n;
        size -= static_cast<size_t>(n);
        pos += n;
    }
}

void FlushToDevice(int fd) {
    int rc;
    do {
        rc = g_observer ? g_observer->Flush(fd) : ::fdatasync(fd);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) throw EFileError(kWriteError);
}

bool HasWriteBits(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

}  // namespace

ssize_t TShredDriverObserver::Write(int fd, const void* data, size_t size, off_t pos) {
    return ::pwrite(fd, data, size, pos);
}

int TShredDriverObserver::Flush(int fd) { return ::fdatasync(fd); }

void SetShredDriverObserver(TShredDriverObserver* observer) { g_observer = observer; }

void TShredAlgorithm::TransformBuffer(uint8_t* buffer, size_t size, TCharGenerator& generator) {
    generator.GenerateBlock(buffer, size);
}

void TShredAlgorithm::ExecutePasses(const std::string& fileName, TPassList passes,
                                    const THaltOperationCallback& onHalt,
                                    const TProgressOperationCallback& onProgress) {
    if (passes.empty()) throw std::invalid_argument("A wiping method needs at least one pass");

    // Never write through a symbolic link: the selected link goes, its target stays as it was.
    struct stat before {};
    if (::lstat(fileName.c_str(), &before) != 0) throw EFileError(CannotOpenMessage(fileName, errno));
    if (S_ISLNK(before.st_mode)) {
        ::unlink(fileName.c_str());
        return;
    }
    // Devices, pipes and sockets are not files to overwrite; refuse them before opening anything.
    if (!S_ISREG(before.st_mode))
        throw EFileError(CannotOpenMessage(fileName, S_ISDIR(before.st_mode) ? EISDIR : EINVAL));

    TFileDescriptor file(::open(fileName.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) throw EFileError(CannotOpenMessage(fileName, errno));
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) throw EFileError(CannotOpenMessage(fileName, errno));
    if (!S_ISREG(st.st_mode) || st.st_dev != before.st_dev || st.st_ino != before.st_ino)
        throw EFileError(CannotOpenMessage(fileName, EINVAL));  // replaced while we looked
    // A file without write permission bits is read-only, even for root, who could open it anyway.
    if (!HasWriteBits(st.st_mode)) throw EFileError(CannotOpenMessage(fileName, EACCES));

    int64_t size = st.st_size;
    if (size == 0) return;  // nothing to overwrite: the empty file stays
    const int64_t passCount = static_cast<int64_t>(passes.size());

    std::unique_ptr<uint8_t, TFreeDeleter> buffer(static_cast<uint8_t*>(std::aligned_alloc(4096, ChunkSize)));
    if (!buffer) throw std::bad_alloc();

    // A file that grows under the wipe (a log, say) has its new bytes overwritten by the passes
    // that follow; the run still says it changed.
    bool changed = false;
    auto currentSize = [&] {
        struct stat now {};
        if (::fstat(file.get(), &now) != 0) throw EFileError(kReadError);
        return static_cast<int64_t>(now.st_size);
    };
    using Clock = std::chrono::steady_clock;
    for (int64_t i = 0; i < passCount; ++i) {
        const int64_t grown = currentSize();
        if (grown != size) changed = true;
        size = std::max(size, grown);
        TCharGenerator& generator = *passes[static_cast<size_t>(i)];
        const bool readsInput = generator.ReadsInput();
        for (int64_t pos = 0; pos < size;) {
            if (onHalt && onHalt()) return;
            const size_t chunk = static_cast<size_t>(std::min<int64_t>(ChunkSize, size - pos));
            const auto t0 = Clock::now();
            // A generator that ignores the file's bytes needs no read: its output is the same.
            if (readsInput) ReadFully(file.get(), buffer.get(), chunk, pos);
            TransformBuffer(buffer.get(), chunk, generator);
            WriteFully(file.get(), buffer.get(), chunk, pos);
            const auto t1 = Clock::now();
            if (onProgress)
                onProgress(size * i + pos, size * passCount, static_cast<int64_t>(chunk) / passCount,
                           std::chrono::duration<double>(t1 - t0).count());
            pos += static_cast<int64_t>(chunk);
        }
        // Each pass reaches the device before the next one starts; without this the cache would
        // let only the last pass ever be written.
        FlushToDevice(file.get());
        if (g_observer) g_observer->PassDone(fileName, static_cast<int>(i), static_cast<int>(passCount));
    }
    if (currentSize() != size) changed = true;
    file.Close();
    buffer.reset();
    passes.clear();
    // A file renamed over the name meanwhile is not the one wiped: it stays.
    struct stat after {};
    if (::lstat(fileName.c_str(), &after) != 0 || after.st_dev != st.st_dev || after.st_ino != st.st_ino)
        throw EShredIncomplete(EShredIncomplete::ccChanged, 0);
    if (!DeleteFile(fileName)) throw EShredIncomplete(EShredIncomplete::ccNotDeleted, errno);
    if (changed) throw EShredIncomplete(EShredIncomplete::ccChanged, 0);
}

}  // namespace tellvane
