#include "crypto/LayerPipeline.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "crypto/BlockCipher.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "crypto/EncLayer.h"
#include "crypto/PartLoop.h"
#include "crypto/SecureWipe.h"
#include "platform/Clock.h"

namespace tellvane {

namespace {

// Small enough that eighteen layers keep a few in flight within a few MiB, large enough that a
// hand-over costs little against the cipher.
constexpr size_t ChunkBytes = 256 * 1024;
constexpr size_t QueueDepth = 2;
constexpr double HaltPollSeconds = 0.1;

// Bytes between two layers; plaintext on one side, so wiped when freed.
class TChunk {
public:
    TChunk() = default;
    explicit TChunk(size_t size) : bytes_(size) {}
    TChunk(TChunk&&) = default;
    TChunk& operator=(TChunk&& other) {
        Wipe();
        bytes_ = std::move(other.bytes_);
        return *this;
    }
    ~TChunk() { Wipe(); }
    std::vector<uint8_t>& Bytes() { return bytes_; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void Wipe() {
        if (!bytes_.empty()) WipeBytes(bytes_.data(), bytes_.size());
    }
    std::vector<uint8_t> bytes_;
};

// What every thread of one cascade shares: the stop flag, the first error, the parts done.
struct TPipelineState {
    std::mutex m;
    std::condition_variable cv;  // any change below
    bool stop = false;
    std::exception_ptr error;
    struct TPart {
        size_t layer;
        int64_t bytes;
    };
    std::vector<TPart> parts;  // reported, not yet handed to the caller
    size_t running = 0;

    void Fail(std::exception_ptr e) {
        std::lock_guard lock(m);
        if (!error) error = std::move(e);
        stop = true;
        cv.notify_all();
    }
};

// A bounded queue of chunks from one layer to the next; an empty chunk never travels, the end is
// Close().
class TChunkQueue {
public:
    explicit TChunkQueue(TPipelineState& state) : state_(state) {}
    // False when the cascade stopped.
    bool Push(TChunk chunk) {
        std::unique_lock lock(state_.m);
        state_.cv.wait(lock, [&] { return state_.stop || chunks_.size() < QueueDepth; });
        if (state_.stop) return false;
        chunks_.push_back(std::move(chunk));
        state_.cv.notify_all();
        return true;
    }
    void Close() {
        std::lock_guard lock(state_.m);
        closed_ = true;
        state_.cv.notify_all();
    }
    // Nothing at the end or when the cascade stopped.
    std::optional<TChunk> Pop() {
        std::unique_lock lock(state_.m);
        state_.cv.wait(lock, [&] { return state_.stop || !chunks_.empty() || closed_; });
        if (state_.stop || chunks_.empty()) return std::nullopt;
        TChunk c = std::move(chunks_.front());
        chunks_.pop_front();
        state_.cv.notify_all();
        return c;
    }

private:
    TPipelineState& state_;
    std::deque<TChunk> chunks_;
    bool closed_ = false;
};

// Cuts one layer's body, arriving in arbitrary chunks, into the calls of the part loop: each part
// one call, or several whole-block calls and a last one that ends the part; bytes short of a
// block wait for the next chunk.
class TPartFeeder {
public:
    TPartFeeder(int64_t total, size_t blockBytes, TChunkTransform transform)
        : total_(total), partLen_(PartLength(total)), block_(blockBytes), transform_(std::move(transform)) {}

    // Ciphers what it can of the bytes kept back and DATA; returns the ciphered bytes and adds
    // the end of every part completed to PARTENDS.
    TChunk Feed(TChunk data, std::vector<int64_t>& partEnds) {
        TChunk buf;
        if (carry_.Bytes().empty()) {
            buf = std::move(data);
        } else {
            buf = std::move(carry_);
            buf.Bytes().insert(buf.Bytes().end(), data.Bytes().begin(), data.Bytes().end());
        }
        auto& b = buf.Bytes();
        if (pos_ + static_cast<int64_t>(b.size()) > total_) throw EFileError("Stream read error");
        size_t i = 0;
        while (i < b.size()) {
            const int64_t partEnd = std::min((pos_ / partLen_ + 1) * partLen_, total_);
            const auto need = static_cast<size_t>(partEnd - pos_);
            const size_t avail = b.size() - i;
            size_t n = need <= avail ? need : avail / block_ * block_;
            if (n == 0) break;
            transform_(b.data() + i, n);
            i += n;
            pos_ += static_cast<int64_t>(n);
            if (pos_ == partEnd) partEnds.push_back(pos_);
        }
        carry_ = TChunk(b.size() - i);
        std::copy(b.begin() + static_cast<std::ptrdiff_t>(i), b.end(), carry_.Bytes().begin());
        std::fill(b.begin() + static_cast<std::ptrdiff_t>(i), b.end(), 0);
        b.resize(i);
        return buf;
    }
    bool Complete() const { return pos_ == total_ && carry_.Bytes().empty(); }
    int64_t PartLen() const { return partLen_; }

private:
    int64_t total_;
    int64_t partLen_;
    size_t block_;
    TChunkTransform transform_;
    int64_t pos_ = 0;
    TChunk carry_;
};

class TEncryptCascade {
public:
    TEncryptCascade(const std::vector<TCascadeLayer>& layers, const std::string& password, const TInputFile& in,
                    const std::string& storedName, TOutputFile& out)
        : layers_(layers), password_(password), in_(in), name_(storedName), out_(out) {
        int64_t size = in.Size();
        // A header's size does not depend on the key: Base64 of as many bytes as the name.
        const auto headerBytes = EncHeaderBytes + static_cast<int64_t>((name_.size() + 2) / 3 * 4);
        for (size_t k = 0; k < layers.size(); ++k, size += headerBytes) sizes_.push_back(size);
        for (size_t i = 0; i < layers.size(); ++i) queues_.push_back(std::make_unique<TChunkQueue>(state_));
    }

    ~TEncryptCascade() {
        {
            std::lock_guard lock(state_.m);
            state_.stop = true;
        }
        state_.cv.notify_all();
        for (auto& t : threads_) t.join();
    }

    bool Run(const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress, int64_t passCount) {
        state_.running = layers_.size() + 1;
        threads_.emplace_back([this] { Guarded([this] { ReadSource(); }); });
        for (size_t k = 0; k < layers_.size(); ++k) threads_.emplace_back([this, k] { Guarded([this, k] { RunLayer(k); }); });
        int64_t totalAll = 0;
        for (int64_t s : sizes_) totalAll += s;
        std::vector<int64_t> done(layers_.size(), 0);
        int64_t doneAll = 0;
        double last = CounterSeconds();
        for (;;) {
            std::vector<TPipelineState::TPart> parts;
            bool finished = false;
            {
                std::unique_lock lock(state_.m);
                state_.cv.wait_for(lock, std::chrono::duration<double>(HaltPollSeconds), [&] {
                    return !state_.parts.empty() || state_.running == 0 || state_.error;
                });
                if (state_.error) break;
                parts.swap(state_.parts);
                finished = state_.running == 0;
            }
            if (parts.empty() && onHalt && onHalt()) return false;
            for (const auto& part : parts) {
                if (onHalt && onHalt()) return false;
                const int64_t partBytes = part.bytes - done[part.layer];
                done[part.layer] = part.bytes;
                doneAll += partBytes;
                const double now = CounterSeconds();
                if (onProgress)
                    onProgress(doneAll, totalAll, passCount > 0 ? partBytes / passCount : 0, now - last);
                last = now;
            }
            if (finished) break;
        }
        for (auto& t : threads_) t.join();
        threads_.clear();
        if (state_.error) std::rethrow_exception(state_.error);
        return true;
    }

private:
    template <class F>
    void Guarded(F body) {
        try {
            body();
        } catch (...) {
            state_.Fail(std::current_exception());
        }
        std::lock_guard lock(state_.m);
        --state_.running;
        state_.cv.notify_all();
    }

    void ReadSource() {
        TChunkQueue& q = *queues_[0];
        for (int64_t pos = 0; pos < sizes_[0];) {
            TChunk c(static_cast<size_t>(std::min<int64_t>(ChunkBytes, sizes_[0] - pos)));
            in_.ReadAt(pos, c.Bytes().data(), c.Bytes().size());
            pos += static_cast<int64_t>(c.Bytes().size());
            if (!q.Push(std::move(c))) return;
        }
        q.Close();
    }

    // Layer K: its header, then its body from queue K, into queue K + 1 or, outermost, the file.
    void RunLayer(size_t k) {
        TDCP_blockcipher& cipher = *layers_[k].cipher;
        TCipherBurnGuard burn(cipher);
        cipher.InitStr(password_);
        uint32_t crc = 0;
        NameChecksum(name_, crc);
        const std::string header = EncodeEncHeader(layers_[k].sign, crc, cipher.EncryptString(name_));
        const bool outermost = k + 1 == layers_.size();
        auto emit = [&](TChunk c) {
            if (c.Bytes().empty()) return true;
            if (outermost) {
                out_.Write(c.Bytes().data(), c.Bytes().size());
                return true;
            }
            return queues_[k + 1]->Push(std::move(c));
        };
        TChunk head(header.size());
        std::copy(header.begin(), header.end(), head.Bytes().begin());
        if (!emit(std::move(head))) return;
        TPartFeeder feeder(sizes_[k], cipher.GetBlockSize() / 8,
                           [&cipher](uint8_t* d, size_t n) { cipher.Encrypt(d, d, n); });
        while (std::optional<TChunk> c = queues_[k]->Pop()) {
            std::vector<int64_t> partEnds;
            TChunk ciphered = feeder.Feed(std::move(*c), partEnds);
            // Told before handed on, so that a layer's parts are never told before its inner's.
            if (!partEnds.empty()) {
                std::lock_guard lock(state_.m);
                for (int64_t end : partEnds) state_.parts.push_back({k, end});
                state_.cv.notify_all();
            }
            if (!emit(std::move(ciphered))) return;
        }
        {
            std::lock_guard lock(state_.m);
            if (state_.stop) return;
        }
        if (!feeder.Complete()) throw EFileError("Stream read error");
        if (!outermost) queues_[k + 1]->Close();
    }

    const std::vector<TCascadeLayer>& layers_;
    const std::string& password_;
    const TInputFile& in_;
    const std::string& name_;
    TOutputFile& out_;
    std::vector<int64_t> sizes_;  // each layer's body
    TPipelineState state_;
    std::vector<std::unique_ptr<TChunkQueue>> queues_;  // queue K feeds layer K
    std::vector<std::thread> threads_;
};

}  // namespace

bool EncryptCascade(const std::vector<TCascadeLayer>& layers, const std::string& password, const TInputFile& in,
                    const std::string& storedName, TOutputFile& out, const THaltOperationCallback& onHalt,
                    const TProgressOperationCallback& onProgress, int64_t passCount) {
    if (layers.empty()) return true;
    TEncryptCascade cascade(layers, password, in, storedName, out);
    return cascade.Run(onHalt, onProgress, passCount);
}

}  // namespace tellvane
