#include "crypto/ModernFormat.h"

#include <openssl/evp.h>
#include <sodium.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "crypto/CorePool.h"
#include "crypto/EncFileIO.h"
#include "platform/ByteSource.h"

namespace tellvane {

namespace {

// Chunks one worker takes at a time: 256 KiB of plaintext, one read and one write. Its two buffers
// stay in the core's own cache between the read, the cipher and the write; 1 MiB slabs cost about a
// tenth more processor time.
constexpr int64_t SlabChunks = 4;
constexpr size_t ChunkNonceBytes = crypto_aead_chacha20poly1305_IETF_NPUBBYTES;
static_assert(ChunkNonceBytes == 12 && crypto_aead_chacha20poly1305_IETF_ABYTES == ModernTagBytes);
static_assert(crypto_pwhash_SALTBYTES == ModernSaltBytes && crypto_auth_hmacsha256_KEYBYTES == ModernKeyBytes);

void StartSodium() {
    static const bool started = sodium_init() >= 0;
    if (!started) throw std::runtime_error("The cryptographic library could not start");
}

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void AppendLe(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// The chunk's number as an 11-byte big-endian integer, then the last-chunk flag.
std::array<uint8_t, ChunkNonceBytes> ChunkNonce(uint64_t number, bool last) {
    std::array<uint8_t, ChunkNonceBytes> nonce{};
    for (int i = 0; i < 8; ++i) nonce[10 - i] = static_cast<uint8_t>(number >> (8 * i));
    nonce[11] = last ? 1 : 0;
    return nonce;
}

void WriteAt(const TOutputFile& out, int64_t offset, const uint8_t* data, size_t count) {
    while (count > 0) {
        const ssize_t n = pwrite(out.Fd(), data, count, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(WriteFailureMessage(out.FinalPath(), errno));
        }
        data += n;
        offset += n;
        count -= static_cast<size_t>(n);
    }
}

// ChaCha20-Poly1305 (RFC 8439) of the body chunks through OpenSSL, whose vector code runs this
// construction over twice as fast as libsodium's on current processors; the bytes are the same.
class TChunkCipher {
public:
    TChunkCipher(const TModernKey& key, bool seal) : ctx_(EVP_CIPHER_CTX_new()) {
        if (ctx_ == nullptr || EVP_CipherInit_ex(ctx_, EVP_chacha20_poly1305(), nullptr, key.data, nullptr, seal) != 1)
            throw std::runtime_error("ChaCha20-Poly1305 is not available");
    }
    ~TChunkCipher() { EVP_CIPHER_CTX_free(ctx_); }  // wipes the key schedule
    TChunkCipher(const TChunkCipher&) = delete;
    TChunkCipher& operator=(const TChunkCipher&) = delete;

    // Seals SIZE bytes of IN into OUT, the tag after them.
    void Seal(const uint8_t* nonce, const uint8_t* in, size_t size, uint8_t* out) {
        int n = 0;
        if (EVP_CipherInit_ex(ctx_, nullptr, nullptr, nullptr, nonce, 1) != 1 ||
            (size > 0 && EVP_CipherUpdate(ctx_, out, &n, in, static_cast<int>(size)) != 1) ||
            EVP_CipherFinal_ex(ctx_, out + size, &n) != 1 ||
            EVP_CIPHER_CTX_ctrl(ctx_, EVP_CTRL_AEAD_GET_TAG, ModernTagBytes, out + size) != 1)
            throw std::runtime_error("ChaCha20-Poly1305 failed");
    }
    // Opens SIZE bytes of IN (the tag after them) into OUT; false when the tag does not match.
    bool Open(const uint8_t* nonce, const uint8_t* in, size_t size, uint8_t* out) {
        int n = 0;
        if (EVP_CipherInit_ex(ctx_, nullptr, nullptr, nullptr, nonce, 0) != 1 ||
            (size > 0 && EVP_CipherUpdate(ctx_, out, &n, in, static_cast<int>(size)) != 1) ||
            EVP_CIPHER_CTX_ctrl(ctx_, EVP_CTRL_AEAD_SET_TAG, ModernTagBytes, const_cast<uint8_t*>(in + size)) != 1)
            return false;
        return EVP_CipherFinal_ex(ctx_, out + size, &n) == 1;
    }

private:
    EVP_CIPHER_CTX* ctx_;
};

// One worker's buffers and cipher, kept for all its slabs. The buffers are not zeroed first (every
// byte used is read or sealed into before); the plaintext side is wiped before it is freed.
struct TSlabBuffers {
    static constexpr size_t PlainBytes = static_cast<size_t>(SlabChunks * ModernChunkBytes);
    std::unique_ptr<uint8_t[]> sealed{new uint8_t[static_cast<size_t>(SlabChunks * ModernSealedChunkBytes)]};
    std::unique_ptr<uint8_t[]> plain{new uint8_t[PlainBytes]};
    TChunkCipher cipher;
    TSlabBuffers(const TModernKey& key, bool seal) : cipher(key, seal) {}
    ~TSlabBuffers() { WipeBytes(plain.get(), PlainBytes); }
    TSlabBuffers(const TSlabBuffers&) = delete;
    TSlabBuffers& operator=(const TSlabBuffers&) = delete;
};

// Writers of one output take turns here. The kernel serializes writes to one file anyway, but
// its lock spins while the holder copies: a waiting worker would burn a core for nothing. A
// sleeping waiter leaves the core to the other worker's cipher.
class TWriteTurns {
public:
    void Write(const TOutputFile& out, int64_t offset, const uint8_t* data, size_t count) {
        const std::lock_guard lock(mutex_);
        WriteAt(out, offset, data, count);
    }

private:
    std::mutex mutex_;
};

// The chunks of a body: CHUNKS in all, the last holding LASTPLAIN bytes of plaintext.
struct TChunkLayout {
    int64_t chunks = 1;
    int64_t lastPlain = 0;
    int64_t Slabs() const { return (chunks + SlabChunks - 1) / SlabChunks; }
    int64_t PlainBytes(int64_t index) const { return index == chunks - 1 ? lastPlain : ModernChunkBytes; }
    int64_t PlainTotal() const { return (chunks - 1) * ModernChunkBytes + lastPlain; }

    // The chunks [first, end) of slab number SLAB and their plaintext and sealed sizes.
    struct TSlabRange {
        int64_t first, end, plainBytes;
        size_t SealedBytes() const { return static_cast<size_t>(plainBytes + (end - first) * int64_t{ModernTagBytes}); }
    };
    TSlabRange Slab(int64_t slab) const {
        const int64_t first = slab * SlabChunks;
        const int64_t end = std::min(first + SlabChunks, chunks);
        return {first, end, (end - 1 - first) * ModernChunkBytes + PlainBytes(end - 1)};
    }
};

// Runs WORK over every slab on one thread per core the program uses; WORK returns the plaintext bytes it did. The
// calling thread reports progress and asks ONHALT meanwhile, so that Cancel is seen within a
// fraction of a second whatever the file's size. Rethrows the first failure of a worker.
bool RunSlabs(const TChunkLayout& layout, const TModernKey& key, bool seal,
              const std::function<int64_t(int64_t, TSlabBuffers&)>& work,
              const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress) {
    using Clock = std::chrono::steady_clock;
    if (onHalt && onHalt()) return false;
    const int64_t slabs = layout.Slabs();
    const auto threads = static_cast<int64_t>(CoreCount());
    std::atomic<int64_t> next{0};
    std::atomic<int64_t> done{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    int64_t running = std::min(threads, slabs);
    std::exception_ptr failure;
    bool halted = false;
    {
        std::vector<std::jthread> pool;
        for (int64_t t = 0; t < std::min(threads, slabs); ++t) {
            pool.emplace_back([&] {
                try {
                    TSlabBuffers buffers(key, seal);
                    for (int64_t slab = next++; slab < slabs && !stop; slab = next++) done += work(slab, buffers);
                } catch (...) {
                    const std::lock_guard lock(mutex);
                    if (!failure) failure = std::current_exception();
                    stop = true;
                }
                const std::lock_guard lock(mutex);
                --running;
                finished.notify_all();
            });
        }
        int64_t reported = 0;
        auto since = Clock::now();
        for (bool end = false; !end;) {
            {
                std::unique_lock lock(mutex);
                end = finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return running == 0; });
            }
            const int64_t now = done.load();
            if (now > reported && onProgress) {
                const auto at = Clock::now();
                onProgress(now, layout.PlainTotal(), now - reported, std::chrono::duration<double>(at - since).count());
                reported = now;
                since = at;
            }
            if (!end && !halted && onHalt && onHalt()) {
                halted = true;
                stop = true;
            }
        }
    }
    if (failure) std::rethrow_exception(failure);
    return !halted;
}

}  // namespace

std::string TModernHeader::AssociatedData() const {
    std::string bytes(ModernSign, 3);
    bytes += static_cast<char>(ModernVersion);
    AppendLe(bytes, passes, 4);
    AppendLe(bytes, memoryKiB, 4);
    bytes.append(reinterpret_cast<const char*>(salt.data()), salt.size());
    bytes.append(reinterpret_cast<const char*>(fileNonce.data()), fileNonce.size());
    return bytes;
}

std::string WriteModernHeader(const TModernHeader& header) {
    std::string bytes = header.AssociatedData();
    AppendLe(bytes, header.nameChunk.size(), 2);
    return bytes + header.nameChunk;
}

TModernHeader ReadModernHeader(const TByteSource& in) {
    if (in.Size() < ModernPrefixBytes) throw EModernDamaged();
    uint8_t prefix[ModernPrefixBytes];
    in.ReadAt(0, prefix, sizeof prefix);
    TModernHeader header;
    header.passes = ReadLe32(prefix + 4);
    header.memoryKiB = ReadLe32(prefix + 8);
    std::memcpy(header.salt.data(), prefix + 12, ModernSaltBytes);
    std::memcpy(header.fileNonce.data(), prefix + 28, ModernNonceBytes);
    const int64_t nameBytes = prefix[44] | prefix[45] << 8;
    if (std::memcmp(prefix, ModernSign, 3) != 0 || prefix[3] != ModernVersion) throw EModernDamaged();
    if (header.passes < 1 || header.passes > ModernMaxPasses || header.memoryKiB < ModernMinMemoryKiB ||
        header.memoryKiB > ModernMaxMemoryKiB)
        throw EModernStretching(header.passes, header.memoryKiB);
    if (nameBytes < static_cast<int64_t>(ModernTagBytes) ||
        in.Size() < ModernPrefixBytes + nameBytes + static_cast<int64_t>(ModernTagBytes))
        throw EModernDamaged();
    header.nameChunk.resize(static_cast<size_t>(nameBytes));
    in.ReadAt(ModernPrefixBytes, header.nameChunk.data(), header.nameChunk.size());
    return header;
}

int64_t ModernPlainBodyBytes(int64_t sealedBytes) {
    if (sealedBytes < static_cast<int64_t>(ModernTagBytes)) throw EModernDamaged();
    const int64_t chunks = (sealedBytes + ModernSealedChunkBytes - 1) / ModernSealedChunkBytes;
    const int64_t last = sealedBytes - (chunks - 1) * ModernSealedChunkBytes;
    // Only an empty body ends in an empty chunk; otherwise the last holds 1 to 65536 bytes.
    if (last < static_cast<int64_t>(ModernTagBytes) || (last == static_cast<int64_t>(ModernTagBytes) && chunks > 1))
        throw EModernDamaged();
    return sealedBytes - chunks * static_cast<int64_t>(ModernTagBytes);
}

void DeriveModernRunKey(std::string_view passPhrase, const TModernSalt& salt, uint32_t passes, uint32_t memoryKiB,
                        TModernKey& runKey) {
    StartSodium();
    if (crypto_pwhash(runKey.data, runKey.size(), passPhrase.data(), passPhrase.size(), salt.data(), passes,
                      static_cast<size_t>(memoryKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("Argon2id could not get " + std::to_string(memoryKiB / 1024) + " MiB of memory");
}

void DeriveModernFileKey(const TModernKey& runKey, const TModernNonce& fileNonce, TModernKey& fileKey) {
    StartSodium();
    crypto_auth_hmacsha256(fileKey.data, fileNonce.data(), fileNonce.size(), runKey.data);
}

void FillModernRandom(uint8_t* data, size_t size) {
    StartSodium();
    randombytes_buf(data, size);
}

void SealModernName(const TModernKey& fileKey, const std::string& name, TModernHeader& header) {
    const std::string ad = header.AssociatedData();
    const auto nonce = ChunkNonce(0, false);
    header.nameChunk.resize(name.size() + ModernTagBytes);
    crypto_aead_chacha20poly1305_ietf_encrypt(reinterpret_cast<uint8_t*>(header.nameChunk.data()), nullptr,
                                              reinterpret_cast<const uint8_t*>(name.data()), name.size(),
                                              reinterpret_cast<const uint8_t*>(ad.data()), ad.size(), nullptr,
                                              nonce.data(), fileKey.data);
}

std::optional<std::string> OpenModernName(const TModernKey& fileKey, const TModernHeader& header) {
    StartSodium();
    const std::string ad = header.AssociatedData();
    const auto nonce = ChunkNonce(0, false);
    std::string name(header.nameChunk.size() - ModernTagBytes, '\0');
    if (crypto_aead_chacha20poly1305_ietf_decrypt(reinterpret_cast<uint8_t*>(name.data()), nullptr, nullptr,
                                                  reinterpret_cast<const uint8_t*>(header.nameChunk.data()),
                                                  header.nameChunk.size(), reinterpret_cast<const uint8_t*>(ad.data()),
                                                  ad.size(), nonce.data(), fileKey.data) != 0)
        return std::nullopt;
    return name;
}

bool SealModernBody(const TModernKey& fileKey, const TInputFile& in, TOutputFile& out, int64_t headerBytes,
                    const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress) {
    StartSodium();
    const int64_t total = in.Size();
    TChunkLayout layout;
    layout.chunks = std::max<int64_t>(1, (total + ModernChunkBytes - 1) / ModernChunkBytes);
    layout.lastPlain = total - (layout.chunks - 1) * ModernChunkBytes;
    TWriteTurns turns;
    const auto work = [&](int64_t slab, TSlabBuffers& buffers) {
        const auto [first, end, plainBytes] = layout.Slab(slab);
        in.ReadAt(first * ModernChunkBytes, buffers.plain.get(), static_cast<size_t>(plainBytes));
        for (int64_t i = first; i < end; ++i) {
            const auto nonce = ChunkNonce(static_cast<uint64_t>(i) + 1, i == layout.chunks - 1);
            buffers.cipher.Seal(nonce.data(), buffers.plain.get() + (i - first) * ModernChunkBytes,
                                static_cast<size_t>(layout.PlainBytes(i)),
                                buffers.sealed.get() + (i - first) * ModernSealedChunkBytes);
        }
        turns.Write(out, headerBytes + first * ModernSealedChunkBytes, buffers.sealed.get(),
                    layout.Slab(slab).SealedBytes());
        return plainBytes;
    };
    return RunSlabs(layout, fileKey, true, work, onHalt, onProgress);
}

bool OpenModernBody(const TModernKey& fileKey, const TInputFile& in, int64_t bodyOffset, TOutputFile& out,
                    const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress) {
    StartSodium();
    const int64_t sealedTotal = in.Size() - bodyOffset;
    TChunkLayout layout;
    const int64_t plainTotal = ModernPlainBodyBytes(sealedTotal);
    layout.chunks = (sealedTotal + ModernSealedChunkBytes - 1) / ModernSealedChunkBytes;
    layout.lastPlain = plainTotal - (layout.chunks - 1) * ModernChunkBytes;
    TWriteTurns turns;
    const auto work = [&](int64_t slab, TSlabBuffers& buffers) {
        const auto [first, end, plainBytes] = layout.Slab(slab);
        in.ReadAt(bodyOffset + first * ModernSealedChunkBytes, buffers.sealed.get(), layout.Slab(slab).SealedBytes());
        for (int64_t i = first; i < end; ++i) {
            const auto nonce = ChunkNonce(static_cast<uint64_t>(i) + 1, i == layout.chunks - 1);
            if (!buffers.cipher.Open(nonce.data(), buffers.sealed.get() + (i - first) * ModernSealedChunkBytes,
                                     static_cast<size_t>(layout.PlainBytes(i)),
                                     buffers.plain.get() + (i - first) * ModernChunkBytes))
                throw EModernDamaged();
        }
        turns.Write(out, first * ModernChunkBytes, buffers.plain.get(), static_cast<size_t>(plainBytes));
        return plainBytes;
    };
    return RunSlabs(layout, fileKey, false, work, onHalt, onProgress);
}

}  // namespace tellvane
