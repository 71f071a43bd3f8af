#include "crypto/LayerPipeline.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "crypto/BlockCipher.h"
#include "crypto/CipherFactory.h"
#include "crypto/EncFileFormat.h"
#include "crypto/EncFileIO.h"
#include "crypto/EncLayer.h"
#include "crypto/PartLoop.h"
#include "crypto/SecureWipe.h"
#include "platform/ByteSource.h"
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

// What every thread of one cascade shares: the stop flag, the first error, the threads running.
struct TPipelineState {
    std::mutex m;
    std::condition_variable cv;  // any change below
    bool stop = false;
    std::exception_ptr error;
    size_t running = 0;  // threads not yet ended

    void Fail(std::exception_ptr e) {
        std::lock_guard lock(m);
        if (!error) error = std::move(e);
        stop = true;
        cv.notify_all();
    }
};

// A followed by B. Joined into a new chunk rather than grown in place: a vector that grows frees
// its old bytes unwiped.
TChunk Joined(TChunk a, TChunk b) {
    if (a.Bytes().empty()) return b;
    if (b.Bytes().empty()) return a;
    TChunk c(a.Bytes().size() + b.Bytes().size());
    std::copy(a.Bytes().begin(), a.Bytes().end(), c.Bytes().begin());
    std::copy(b.Bytes().begin(), b.Bytes().end(), c.Bytes().begin() + static_cast<std::ptrdiff_t>(a.Bytes().size()));
    return c;
}

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
        TChunk buf = Joined(std::move(carry_), std::move(data));
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

private:
    int64_t total_;
    int64_t partLen_;
    size_t block_;
    TChunkTransform transform_;
    int64_t pos_ = 0;
    TChunk carry_;
};

// The threads of one cascade, the queues between its layers and the caller's side: parts told
// to the caller as they are done, the halt asked, the first error rethrown after every thread
// has ended.
class TCascade {
public:
    TCascade() = default;
    TCascade(const TCascade&) = delete;
    TCascade& operator=(const TCascade&) = delete;
    virtual ~TCascade() { StopAll(); }

protected:
    // Stops and joins every thread; a derived cascade calls it first, since its threads use it.
    void StopAll() {
        {
            std::lock_guard lock(state_.m);
            state_.stop = true;
        }
        state_.cv.notify_all();
        JoinAll();
    }

    struct TPartDone {
        size_t layer;
        int64_t end, total;
    };

    // Starts BODY on a thread of its own; false once the cascade stopped.
    template <class F>
    bool Spawn(F body) {
        std::lock_guard lock(threadsLock_);
        {
            std::lock_guard stateLock(state_.m);
            if (state_.stop) return false;
            ++state_.running;
        }
        threads_.emplace_back([this, body] {
            try {
                body();
            } catch (...) {
                state_.Fail(std::current_exception());
            }
            std::lock_guard stateLock(state_.m);
            --state_.running;
            state_.cv.notify_all();
        });
        return true;
    }

    // The queue into layer K, made on first use.
    TChunkQueue& Queue(size_t k) {
        std::lock_guard lock(state_.m);
        while (queues_.size() <= k) queues_.push_back(std::make_unique<TChunkQueue>(state_));
        return *queues_[k];
    }

    void TellParts(size_t layer, const std::vector<int64_t>& ends, int64_t total) {
        if (ends.empty()) return;
        std::lock_guard lock(state_.m);
        for (int64_t end : ends) parts_.push_back({layer, end, total});
        state_.cv.notify_all();
    }

    bool Stopped() {
        std::lock_guard lock(state_.m);
        return state_.stop;
    }

    // On the caller's thread until every thread has ended: false when ONHALT stopped the cascade.
    bool Serve(const THaltOperationCallback& onHalt, const std::function<void(const TPartDone&, double)>& tell) {
        double last = CounterSeconds();
        for (;;) {
            std::vector<TPartDone> parts;
            bool finished = false;
            {
                std::unique_lock lock(state_.m);
                state_.cv.wait_for(lock, std::chrono::duration<double>(HaltPollSeconds), [&] {
                    return !parts_.empty() || state_.running == 0 || state_.error;
                });
                if (state_.error) break;
                parts.swap(parts_);
                finished = state_.running == 0;
            }
            if (parts.empty() && onHalt && onHalt()) return false;
            for (const TPartDone& part : parts) {
                if (onHalt && onHalt()) return false;
                const double now = CounterSeconds();
                tell(part, now - last);
                last = now;
            }
            if (finished) break;
        }
        JoinAll();
        if (state_.error) std::rethrow_exception(state_.error);
        return true;
    }

    // Reads COUNT bytes of IN from OFFSET into the queue of layer 0.
    void ReadSource(const TInputFile& in, int64_t offset, int64_t count) {
        TChunkQueue& q = Queue(0);
        for (int64_t pos = 0; pos < count;) {
            TChunk c(static_cast<size_t>(std::min<int64_t>(ChunkBytes, count - pos)));
            in.ReadAt(offset + pos, c.Bytes().data(), c.Bytes().size());
            pos += static_cast<int64_t>(c.Bytes().size());
            if (!q.Push(std::move(c))) return;
        }
        q.Close();
    }

    // Passes the chunks of queue K through FEEDER into EMIT, telling the parts of layer K done.
    template <class Emit>
    void Pump(size_t k, TPartFeeder& feeder, int64_t total, Emit emit) {
        while (std::optional<TChunk> c = Queue(k).Pop()) {
            std::vector<int64_t> partEnds;
            TChunk ciphered = feeder.Feed(std::move(*c), partEnds);
            // Told before handed on, so that a layer's parts are never told after its inner's.
            TellParts(k, partEnds, total);
            if (!ciphered.Bytes().empty() && !emit(std::move(ciphered))) return;
        }
        if (Stopped()) return;
        if (!feeder.Complete()) throw EFileError("Stream read error");
    }

    TPipelineState state_;

private:
    void JoinAll() {
        for (;;) {
            std::vector<std::thread> threads;
            {
                std::lock_guard lock(threadsLock_);
                threads.swap(threads_);
            }
            if (threads.empty()) return;
            for (auto& t : threads) t.join();
        }
    }

    std::vector<TPartDone> parts_;  // guarded by state_.m
    std::vector<std::unique_ptr<TChunkQueue>> queues_;
    std::mutex threadsLock_;
    std::vector<std::thread> threads_;
};

class TEncryptCascade : public TCascade {
public:
    TEncryptCascade(const std::vector<TCascadeLayer>& layers, const std::string& password, const TInputFile& in,
                    const std::string& storedName, TOutputFile& out)
        : layers_(layers), password_(password), in_(in), name_(storedName), out_(out) {
        int64_t size = in.Size();
        // A header's size does not depend on the key: Base64 of as many bytes as the name.
        const auto headerBytes = EncHeaderBytes + static_cast<int64_t>((name_.size() + 2) / 3 * 4);
        for (size_t k = 0; k < layers.size(); ++k, size += headerBytes) sizes_.push_back(size);
    }
    ~TEncryptCascade() override { StopAll(); }

    bool Run(const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress, int64_t passCount) {
        for (size_t k = 0; k <= layers_.size(); ++k) Queue(k);
        Spawn([this] { ReadSource(in_, 0, sizes_[0]); });
        for (size_t k = 0; k < layers_.size(); ++k) Spawn([this, k] { RunLayer(k); });
        int64_t totalAll = 0;
        for (int64_t s : sizes_) totalAll += s;
        std::vector<int64_t> done(layers_.size(), 0);
        int64_t doneAll = 0;
        return Serve(onHalt, [&](const TPartDone& part, double seconds) {
            const int64_t partBytes = part.end - done[part.layer];
            done[part.layer] = part.end;
            doneAll += partBytes;
            if (onProgress) onProgress(doneAll, totalAll, passCount > 0 ? partBytes / passCount : 0, seconds);
        });
    }

private:
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
            if (!outermost) return Queue(k + 1).Push(std::move(c));
            out_.Write(c.Bytes().data(), c.Bytes().size());
            return true;
        };
        TChunk head(header.size());
        std::copy(header.begin(), header.end(), head.Bytes().begin());
        if (!emit(std::move(head))) return;
        TPartFeeder feeder(sizes_[k], cipher.GetBlockSize() / 8,
                           [&cipher](uint8_t* d, size_t n) { cipher.Encrypt(d, d, n); });
        Pump(k, feeder, sizes_[k], emit);
        if (!outermost && !Stopped()) Queue(k + 1).Close();
    }

    const std::vector<TCascadeLayer>& layers_;
    const std::string& password_;
    const TInputFile& in_;
    const std::string& name_;
    TOutputFile& out_;
    std::vector<int64_t> sizes_;  // each layer's body
};

// The first bytes of a stream whose whole size is known: enough to read a header from.
class TStreamPrefix final : public TByteSource {
public:
    TStreamPrefix(const std::vector<uint8_t>& bytes, int64_t size) : bytes_(bytes), size_(size) {}
    int64_t Size() const override { return size_; }
    void ReadAt(int64_t offset, void* buffer, size_t count) const override {
        TMemorySource(std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()))
            .ReadAt(offset, buffer, count);
    }

private:
    const std::vector<uint8_t>& bytes_;
    int64_t size_;
};

class TDecryptCascade : public TCascade {
public:
    TDecryptCascade(const std::string& name, const std::string& password, TOutputFile& out)
        : name_(name), password_(password), out_(out) {}
    ~TDecryptCascade() override { StopAll(); }

    size_t Run(TDCP_blockcipher& cipher, const TInputFile& in, const TEncHeader& header,
               const THaltOperationCallback& onHalt, const TLayerProgressCallback& onProgress) {
        Queue(0);
        Spawn([this, &in, &header] { ReadSource(in, header.bodyOffset, header.bodySize); });
        Spawn([this, &cipher, &header] { DecryptLayer(0, cipher, header.bodySize); });
        const bool done = Serve(onHalt, [&](const TPartDone& part, double seconds) {
            if (onProgress) onProgress(part.layer, part.end, part.total, seconds);
        });
        return done ? layers_ : 0;
    }

private:
    // Layer K's body, from queue K into the inspection of what it holds.
    void DecryptLayer(size_t k, TDCP_blockcipher& cipher, int64_t bodySize) {
        if (!Spawn([this, k, bodySize] { Inspect(k + 1, bodySize); })) return;
        TPartFeeder feeder(bodySize, cipher.GetBlockSize() / 8,
                           [&cipher](uint8_t* d, size_t n) { cipher.Decrypt(d, d, n); });
        Pump(k, feeder, bodySize, [&](TChunk c) { return Queue(k + 1).Push(std::move(c)); });
        if (!Stopped()) Queue(k + 1).Close();
    }

    // Queue K holds SIZE bytes: an inner layer to decrypt in turn, or the restored file.
    void Inspect(size_t k, int64_t size) {
        TChunk prefix;
        std::vector<uint8_t>& bytes = prefix.Bytes();
        std::optional<TEncHeader> header;
        std::unique_ptr<TDCP_blockcipher> inner;
        for (bool ended = false;;) {
            const auto have = static_cast<int64_t>(bytes.size());
            int64_t want = EncHeaderBytes;
            if (k > MaxPipelinedInnerLayers || size < EncHeaderBytes) want = 0;
            if (want > 0 && have >= EncHeaderBytes) {
                const auto nameLength = static_cast<int32_t>(bytes[7] | bytes[8] << 8 | bytes[9] << 16 |
                                                             static_cast<uint32_t>(bytes[10]) << 24);
                want = nameLength < 0 || nameLength > EncMaxNameLength || nameLength > size - EncHeaderBytes
                           ? 0
                           : EncHeaderBytes + nameLength;
            }
            if (want == 0 || have >= want || ended) {
                if (want > 0 && have >= want) header = LayerHeader(bytes, size, inner);
                break;
            }
            std::optional<TChunk> c = Queue(k).Pop();
            if (!c) {
                if (Stopped()) return;
                ended = true;
                continue;
            }
            prefix = Joined(std::move(prefix), std::move(*c));
        }
        if (!header) {
            PassThrough(k, std::move(prefix));
            return;
        }
        TCipherBurnGuard burn(*inner);
        TChunk rest(bytes.size() - static_cast<size_t>(header->bodyOffset));
        std::copy(bytes.begin() + header->bodyOffset, bytes.end(), rest.Bytes().begin());
        prefix = TChunk();
        DecryptInner(k, *inner, header->bodySize, std::move(rest));
    }

    // The header of a layer that stores the same name under the same pass phrase, with INNER keyed
    // for its body; nothing when BYTES begin otherwise.
    std::optional<TEncHeader> LayerHeader(const std::vector<uint8_t>& bytes, int64_t size,
                                          std::unique_ptr<TDCP_blockcipher>& inner) {
        TEncHeader h;
        try {
            h = ReadEncHeader(TStreamPrefix(bytes, size));
        } catch (const EFileError&) {
            return std::nullopt;
        }
        inner = CreateCipher(h.sign);
        if (!inner) return std::nullopt;
        const std::optional<std::string> stored = UnlockEncName(*inner, h, password_);
        if (!stored || *stored != name_) {
            inner->Burn();
            return std::nullopt;
        }
        return h;
    }

    // Layer K's body, whose first bytes AHEAD came with its header, the rest from queue K.
    void DecryptInner(size_t k, TDCP_blockcipher& cipher, int64_t bodySize, TChunk ahead) {
        if (!Spawn([this, k, bodySize] { Inspect(k + 1, bodySize); })) return;
        TPartFeeder feeder(bodySize, cipher.GetBlockSize() / 8,
                           [&cipher](uint8_t* d, size_t n) { cipher.Decrypt(d, d, n); });
        auto emit = [&](TChunk c) { return Queue(k + 1).Push(std::move(c)); };
        if (!ahead.Bytes().empty()) {
            std::vector<int64_t> partEnds;
            TChunk plain = feeder.Feed(std::move(ahead), partEnds);
            TellParts(k, partEnds, bodySize);
            if (!plain.Bytes().empty() && !emit(std::move(plain))) return;
        }
        Pump(k, feeder, bodySize, emit);
        if (!Stopped()) Queue(k + 1).Close();
    }

    // Queue K is the restored file, or a layer deeper than the pipeline goes: it goes to OUT.
    void PassThrough(size_t k, TChunk first) {
        {
            std::lock_guard lock(state_.m);
            layers_ = k;
        }
        if (!first.Bytes().empty()) out_.Write(first.Bytes().data(), first.Bytes().size());
        while (std::optional<TChunk> c = Queue(k).Pop()) out_.Write(c->Bytes().data(), c->Bytes().size());
    }

    const std::string& name_;
    const std::string& password_;
    TOutputFile& out_;
    size_t layers_ = 0;
};

}  // namespace

bool EncryptCascade(const std::vector<TCascadeLayer>& layers, const std::string& password, const TInputFile& in,
                    const std::string& storedName, TOutputFile& out, const THaltOperationCallback& onHalt,
                    const TProgressOperationCallback& onProgress, int64_t passCount) {
    if (layers.empty()) return true;
    TEncryptCascade cascade(layers, password, in, storedName, out);
    return cascade.Run(onHalt, onProgress, passCount);
}

size_t DecryptCascade(TDCP_blockcipher& cipher, const TInputFile& in, const TEncHeader& header,
                      const std::string& name, const std::string& password, TOutputFile& out,
                      const THaltOperationCallback& onHalt, const TLayerProgressCallback& onProgress) {
    TDecryptCascade cascade(name, password, out);
    return cascade.Run(cipher, in, header, onHalt, onProgress);
}

}  // namespace tellvane
