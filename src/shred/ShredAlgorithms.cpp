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
#include <vector>

#include "l10n/TextConstants.h"
#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {

namespace {

TShredDriverObserver* g_observer = nullptr;

// The text the program's stream layer uses for a failed read in the middle of a file.
constexpr const char* kReadError = "Stream read error";

// A failed write or flush names the file and the system's reason ("No space left on device"),
// and costs only this file: the run goes on.
[[noreturn]] void ThrowWriteError(const std::string& fileName, int err) {
    throw EFileSkipped(CannotWriteMessage(fileName, err));
}

struct TExtent {
    int64_t start;
    int64_t end;
};

// The parts of the file that hold data. Holes read as zeros and own no blocks: overwriting them
// would only allocate new blocks (and could fill the disk) while wiping nothing.
std::vector<TExtent> DataExtents(int fd, int64_t size) {
    std::vector<TExtent> extents;
    for (int64_t pos = 0; pos < size;) {
        const off_t data = ::lseek(fd, pos, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) break;  // only a hole is left
            return {{0, size}};         // the file system cannot tell: take it all as data
        }
        if (data >= size) break;
        off_t hole = ::lseek(fd, data, SEEK_HOLE);
        if (hole < 0 || hole > size) hole = static_cast<off_t>(size);
        extents.push_back({data, hole});
        pos = hole;
    }
    return extents;
}

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

void WriteFully(const std::string& fileName, int fd, const uint8_t* data, size_t size, off_t pos) {
    while (size > 0) {
        const ssize_t n = g_observer ? g_observer->Write(fd, data, size, pos) : ::pwrite(fd, data, size, pos);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowWriteError(fileName, errno);
        if (n == 0) ThrowWriteError(fileName, ENOSPC);
        data += n;
        size -= static_cast<size_t>(n);
        pos += n;
    }
}

void FlushToDevice(const std::string& fileName, int fd) {
    int rc;
    do {
        rc = g_observer ? g_observer->Flush(fd) : ::fdatasync(fd);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) ThrowWriteError(fileName, errno);
}

bool HasWriteBits(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

}  // namespace

ssize_t TShredDriverObserver::Write(int fd, const void* data, size_t size, off_t pos) {
    return ::pwrite(fd, data, size, pos);
}

int TShredDriverObserver::Flush(int fd) { return ::fdatasync(fd); }

void SetShredDriverObserver(TShredDriverObserver* observer) { g_observer = observer; }

TShredAlgorithm::TShredAlgorithm(const TShredMethod& method)
    : method_(method), passes_(ParseShredPasses(method.Passes)) {}

TPassList TShredAlgorithm::BuildPasses() const {
    TPassList list;
    for (const TShredPass& pass : passes_) {
        switch (pass.Kind) {
            case TShredPass::pkPattern: {
                auto generator = std::make_unique<THexGenerator>(pass.Pattern.front());
                for (size_t k = 1; k < pass.Pattern.size(); ++k) generator->AddChar(pass.Pattern[k]);
                list.push_back(std::move(generator));
                break;
            }
            case TShredPass::pkRandom: list.push_back(std::make_unique<TRandomGenerator>(0, 255)); break;
            case TShredPass::pkRandomConstant: list.push_back(std::make_unique<TRandomCharGenerator>(0, 255)); break;
            case TShredPass::pkInvert: list.push_back(std::make_unique<TInvertGenerator>()); break;
        }
    }
    return list;
}

void TShredAlgorithm::Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                            const TProgressOperationCallback& onProgress) const {
    ExecutePasses(fileName, BuildPasses(), onHalt, onProgress);
}

void TShredAlgorithm::TransformBuffer(uint8_t* buffer, size_t size, TCharGenerator& generator) {
    generator.GenerateBlock(buffer, size);
}

TShredAlgorithm::TOverwrite TShredAlgorithm::Overwrite(const std::string& fileName, int fd,
                                                      const THaltOperationCallback& onHalt,
                                                      const TProgressOperationCallback& onProgress) const {
    return OverwritePasses(fileName, fd, BuildPasses(), onHalt, onProgress);
}

TShredAlgorithm::TOverwrite TShredAlgorithm::OverwritePasses(const std::string& fileName, int fd, TPassList passes,
                                                             const THaltOperationCallback& onHalt,
                                                             const TProgressOperationCallback& onProgress) {
    if (passes.empty()) throw std::invalid_argument("A wiping method needs at least one pass");
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw EFileError(kReadError);
    int64_t size = st.st_size;
    // An empty file has nothing to overwrite, but its name may be the secret: it is only removed.
    const int64_t passCount = size == 0 ? 0 : static_cast<int64_t>(passes.size());
    // Writing over data neither makes nor fills holes: the extents are found again only when
    // the file grew.
    std::vector<TExtent> extents;
    int64_t dataSize = 0;
    auto findExtents = [&] {
        extents = DataExtents(fd, size);
        dataSize = 0;
        for (const TExtent& e : extents) dataSize += e.end - e.start;
    };
    findExtents();

    std::unique_ptr<uint8_t, TFreeDeleter> buffer(static_cast<uint8_t*>(std::aligned_alloc(4096, ChunkSize)));
    if (!buffer) throw std::bad_alloc();

    // A file that grows under the wipe (a log, say) has its new bytes overwritten by the passes
    // that follow; the run still says it changed.
    bool changed = false;
    auto currentSize = [&] {
        struct stat now {};
        if (::fstat(fd, &now) != 0) throw EFileError(kReadError);
        return static_cast<int64_t>(now.st_size);
    };
    using Clock = std::chrono::steady_clock;
    for (int64_t i = 0; i < passCount; ++i) {
        const int64_t grown = currentSize();
        if (grown != size) changed = true;
        if (grown > size) {
            size = grown;
            findExtents();
        }
        TCharGenerator& generator = *passes[static_cast<size_t>(i)];
        const bool readsInput = generator.ReadsInput();
        int64_t done = 0;
        for (const TExtent& extent : extents) {
            for (int64_t pos = extent.start; pos < extent.end;) {
                if (onHalt && onHalt()) return TOverwrite::Halted;
                const size_t chunk = static_cast<size_t>(std::min<int64_t>(ChunkSize, extent.end - pos));
                const auto t0 = Clock::now();
                // A generator that ignores the file's bytes needs no read: its output is the same.
                if (readsInput) ReadFully(fd, buffer.get(), chunk, pos);
                TransformBuffer(buffer.get(), chunk, generator);
                WriteFully(fileName, fd, buffer.get(), chunk, pos);
                const auto t1 = Clock::now();
                pos += static_cast<int64_t>(chunk);
                done += static_cast<int64_t>(chunk);
                if (onProgress)
                    onProgress(dataSize * i + done - static_cast<int64_t>(chunk), dataSize * passCount,
                               static_cast<int64_t>(chunk) / passCount, std::chrono::duration<double>(t1 - t0).count());
            }
        }
        // Each pass reaches the device before the next one starts; without this the cache would
        // let only the last pass ever be written.
        FlushToDevice(fileName, fd);
        if (g_observer) g_observer->PassDone(fileName, static_cast<int>(i), static_cast<int>(passCount));
    }
    if (currentSize() != size) changed = true;
    return changed ? TOverwrite::Changed : TOverwrite::Done;
}

void TShredAlgorithm::ExecutePasses(const std::string& fileName, TPassList passes,
                                    const THaltOperationCallback& onHalt,
                                    const TProgressOperationCallback& onProgress) {
    if (passes.empty()) throw std::invalid_argument("A wiping method needs at least one pass");

    // The file is opened, overwritten and removed through its parent folder's descriptor, reached
    // without following a link below the folder the user named: a folder swapped for a link
    // meanwhile is reported, never followed.
    if (const int err = FileCallHookAnswer("open", fileName)) throw EFileError(CannotOpenMessage(fileName, err), err);
    TParentFolder parent;
    if (!OpenParentFolder(fileName, parent)) {
        if (errno == ELOOP) throw ENotRegularFile(fileName, TEntryKind::Symlink);
        throw EFileError(CannotOpenMessage(fileName, errno), errno);
    }
    // Never write through a symbolic link: the selected link goes, its target stays as it was.
    struct stat before {};
    if (parent.name.empty() || ::fstatat(parent.fd(), parent.name.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0)
        throw EFileError(CannotOpenMessage(fileName, parent.name.empty() ? EISDIR : errno));
    if (S_ISLNK(before.st_mode)) {
        ::unlinkat(parent.fd(), parent.name.c_str(), 0);
        return;
    }
    // Devices, pipes and sockets are not files to overwrite: refused (and reported) before any
    // open, and again on the descriptor, which is opened without blocking on a pipe.
    TFileDescriptor file(OpenRegularFileIn(parent, fileName, O_RDWR));
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) throw EFileError(CannotOpenMessage(fileName, errno));
    if (st.st_dev != before.st_dev || st.st_ino != before.st_ino)
        throw EFileError(CannotOpenMessage(fileName, EINVAL));  // replaced while we looked
    // A file without write permission bits is read-only, even for root, who could open it anyway.
    if (!HasWriteBits(st.st_mode)) throw EFileError(CannotOpenMessage(fileName, EACCES));

    const TOverwrite outcome = OverwritePasses(fileName, file.get(), std::move(passes), onHalt, onProgress);
    if (outcome == TOverwrite::Halted) return;
    file.Close();
    // A file renamed over the name meanwhile is not the one wiped: it stays.
    TFileIdentity wiped;
    wiped.device = st.st_dev;
    wiped.inode = st.st_ino;
    int err = FileCallHookAnswer("unlink", fileName);
    if (err == 0) err = DeleteFileIfSameIn(parent, wiped, false);
    if (err == ESTALE) throw EFileSkipped(Format(GetConstantValue("Shred_file_changed"), {fileName}));
    if (err != 0)
        throw EFileSkipped(Format(GetConstantValue("Cannot_delete_file"), {fileName, FormatSystemError(err)}));
    if (outcome == TOverwrite::Changed) throw EFileSkipped(Format(GetConstantValue("Shred_file_changed"), {fileName}));
}

}  // namespace tellvane
