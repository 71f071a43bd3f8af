#include "crypto/PartLoop.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "crypto/EncFileIO.h"
#include "platform/SecureWipe.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace tellvane {

int64_t PartLength(int64_t totalSize) { return totalSize < 100 ? 1 : totalSize / 100; }

namespace {

constexpr int BufferCount = 4;  // constant memory: four buffers in flight at most

// A buffer holds plaintext on one side of the cipher: it is wiped before it is freed.
struct TBuffer {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
    size_t capacity = 0;
    void Allocate(size_t bytes) {
        data.reset(new uint8_t[bytes]);
        capacity = bytes;
    }
    ~TBuffer() {
        if (data) WipeBytes(data.get(), capacity);
    }
};

// How many bytes from POS the next buffer takes. A buffer ends at a part boundary or after a
// whole number of blocks of the part it cuts, so that every cipher call but a part's last one is
// block-aligned and the part's tail rule applies only where a part really ends.
size_t FillLength(int64_t pos, int64_t total, int64_t partLen, size_t blockBytes, size_t capacity) {
    int64_t end = std::min<int64_t>(pos + static_cast<int64_t>(capacity), total);
    if (end < total && end % partLen != 0) {
        const int64_t partStart = end / partLen * partLen;
        const int64_t from = std::max(partStart, pos);
        end -= (end - from) % static_cast<int64_t>(blockBytes);
    }
    return static_cast<size_t>(end - pos);
}

// The two helper threads and the queues between them. The caller's thread takes filled buffers,
// ciphers them in place and hands them on to be written.
class TOverlappedIO {
public:
    TOverlappedIO(const TPartLoopJob& job, int64_t partLen) : job_(job), partLen_(partLen) {
        for (int i = 0; i < BufferCount; ++i) {
            buffers_[i].Allocate(PartLoopBufferBytes);
            free_.push_back(&buffers_[i]);
        }
        reader_ = std::thread([this] { ReadLoop(); });
        writer_ = std::thread([this] { WriteLoop(); });
    }

    ~TOverlappedIO() {
        {
            std::lock_guard lock(m_);
            stop_ = true;
        }
        cv_.notify_all();
        reader_.join();
        writer_.join();
    }

    TBuffer* TakeFilled() {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return !filled_.empty() || readFailed_ || writeErr_ != 0; });
        ThrowWriteError();
        if (filled_.empty()) throw EFileError("Stream read error");
        TBuffer* b = filled_.front();
        filled_.pop_front();
        return b;
    }

    void HandOn(TBuffer* b) {
        {
            std::lock_guard lock(m_);
            ThrowWriteError();
            toWrite_.push_back(b);
        }
        cv_.notify_all();
    }

    // Waits until everything handed on is written.
    void Finish() {
        std::unique_lock lock(m_);
        allHandedOn_ = true;
        cv_.notify_all();
        cv_.wait(lock, [&] { return writerDone_; });
        ThrowWriteError();
    }

private:
    void ThrowWriteError() {
        if (writeErr_ != 0) throw EFileError(WriteFailureMessage(job_.output->FinalPath(), writeErr_));
    }

    void ReadLoop() {
        int64_t pos = 0;
        while (pos < job_.totalSize) {
            TBuffer* b = nullptr;
            {
                std::unique_lock lock(m_);
                cv_.wait(lock, [&] { return !free_.empty() || stop_; });
                if (stop_) return;
                b = free_.front();
                free_.pop_front();
            }
            const size_t want = FillLength(pos, job_.totalSize, partLen_, job_.blockBytes, PartLoopBufferBytes);
            bool ok = true;
            try {
                ok = job_.input->ReadSomeAt(job_.inputOffset + pos, b->data.get(), want) == want;
            } catch (...) {
                ok = false;
            }
            {
                std::lock_guard lock(m_);
                if (!ok) {
                    readFailed_ = true;
                } else {
                    b->size = want;
                    filled_.push_back(b);
                }
            }
            cv_.notify_all();
            if (!ok) return;
            pos += static_cast<int64_t>(want);
        }
    }

    void WriteLoop() {
        const int fd = job_.output->Fd();
        for (;;) {
            TBuffer* b = nullptr;
            {
                std::unique_lock lock(m_);
                cv_.wait(lock, [&] { return !toWrite_.empty() || stop_ || allHandedOn_; });
                if (stop_ || toWrite_.empty()) {
                    writerDone_ = true;
                    cv_.notify_all();
                    return;
                }
                b = toWrite_.front();
                toWrite_.pop_front();
            }
            const uint8_t* p = b->data.get();
            size_t left = b->size;
            int err = 0;
            while (left > 0) {
                const ssize_t n = write(fd, p, left);
                if (n < 0) {
                    if (errno == EINTR) continue;
                    err = errno;
                    break;
                }
                p += n;
                left -= static_cast<size_t>(n);
            }
            {
                std::lock_guard lock(m_);
                if (err != 0) {
                    writeErr_ = err;
                    writerDone_ = true;
                } else {
                    free_.push_back(b);
                }
            }
            cv_.notify_all();
            if (err != 0) return;
        }
    }

    const TPartLoopJob& job_;
    const int64_t partLen_;
    TBuffer buffers_[BufferCount];
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<TBuffer*> free_, filled_, toWrite_;
    bool stop_ = false;
    bool readFailed_ = false;
    bool allHandedOn_ = false;
    bool writerDone_ = false;
    int writeErr_ = 0;
    std::thread reader_, writer_;
};

// Reading, ciphering and writing in turn on the caller's thread, one buffer at a time. A body that
// fits one buffer goes this way: a folder of small files would otherwise pay two thread starts
// per file.
class TSerialIO {
public:
    TSerialIO(const TPartLoopJob& job, int64_t partLen) : job_(job), partLen_(partLen) {
        capacity_ = static_cast<size_t>(std::min<int64_t>(job.totalSize, PartLoopBufferBytes));
        buffer_.Allocate(capacity_);
    }
    TBuffer* TakeFilled() {
        const size_t want = FillLength(pos_, job_.totalSize, partLen_, job_.blockBytes, capacity_);
        job_.input->ReadAt(job_.inputOffset + pos_, buffer_.data.get(), want);
        buffer_.size = want;
        pos_ += static_cast<int64_t>(want);
        return &buffer_;
    }
    void HandOn(TBuffer* b) { job_.output->Write(b->data.get(), b->size); }
    void Finish() {}

private:
    const TPartLoopJob& job_;
    const int64_t partLen_;
    size_t capacity_ = 0;
    int64_t pos_ = 0;
    TBuffer buffer_;
};

template <class IO>
bool RunParts(const TPartLoopJob& job, int64_t partLen, IO& io) {
    TBuffer* cur = nullptr;
    size_t curOff = 0;
    int64_t pos = 0;
    while (pos < job.totalSize) {
        if (job.onHalt && job.onHalt()) return false;
        const int64_t partEnd = std::min(pos + partLen, job.totalSize);
        const int64_t partBytes = partEnd - pos;
        const double t0 = CounterSeconds();
        while (pos < partEnd) {
            if (cur == nullptr || curOff == cur->size) {
                // A part of a big file takes seconds on a slow disk: Cancel is heard between
                // buffers too. The output of a halted pass is discarded, so no byte changes.
                if (cur != nullptr && job.onHalt && job.onHalt()) return false;
                if (cur != nullptr) io.HandOn(cur);
                cur = io.TakeFilled();
                curOff = 0;
            }
            const size_t n = static_cast<size_t>(std::min<int64_t>(partEnd - pos, static_cast<int64_t>(cur->size - curOff)));
            job.transform(cur->data.get() + curOff, n);
            curOff += n;
            pos += static_cast<int64_t>(n);
        }
        if (pos == job.totalSize && cur != nullptr) {
            io.HandOn(cur);
            cur = nullptr;
            io.Finish();
        }
        if (job.onProgress) {
            const int64_t share = job.partSizeDivisor > 0 ? partBytes / job.partSizeDivisor : 0;
            job.onProgress(partEnd, job.totalSize, share, CounterSeconds() - t0);
        }
    }
    return true;
}

}  // namespace

bool ProcessInParts(const TPartLoopJob& job) {
    if (job.totalSize <= 0) return true;
    const int64_t partLen = PartLength(job.totalSize);
    if (!job.overlapped || job.totalSize <= static_cast<int64_t>(PartLoopBufferBytes)) {
        TSerialIO io(job, partLen);
        return RunParts(job, partLen, io);
    }
    TOverlappedIO io(job, partLen);
    return RunParts(job, partLen, io);
}

}  // namespace tellvane
