#pragma once
// The hash that turns a pass phrase into a key: SHA-1 (FIPS 180) behind the hash interface.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tellvane {

// A failure of a hash; what() is the user's text, e.g. "Hash not initialized".
class EDCP_hash : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDCP_hash {
public:
    TDCP_hash() = default;
    TDCP_hash(const TDCP_hash&) = delete;
    TDCP_hash& operator=(const TDCP_hash&) = delete;
    virtual ~TDCP_hash() = default;

    // Digest size in bits.
    virtual uint32_t GetHashSize() const = 0;
    virtual void Init() = 0;
    // Writes GetHashSize()/8 bytes to DIGEST and leaves the hash burnt.
    virtual void Final(void* digest) = 0;
    virtual void Burn() = 0;
    virtual void Update(const void* buffer, size_t size) = 0;

    // Feeds exactly the string's bytes, no terminator.
    void UpdateStr(std::string_view str) { Update(str.data(), str.size()); }
    bool Initialized() const { return fInitialized; }

protected:
    bool fInitialized = false;
};

class TDCP_sha1 : public TDCP_hash {
public:
    static constexpr uint32_t HashSize = 160;

    TDCP_sha1();
    ~TDCP_sha1() override;

    uint32_t GetHashSize() const override { return HashSize; }
    void Init() override;
    void Final(void* digest) override;
    void Burn() override;
    // EDCP_hash "Hash not initialized" without Init.
    void Update(const void* buffer, size_t size) override;

private:
    struct State;  // the library's hash state, wiped when reset or destroyed
    std::unique_ptr<State> state_;
};

}  // namespace tellvane
