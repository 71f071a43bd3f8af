#include "crypto/DcpHash.h"

#include <cryptopp/sha.h>

namespace tellvane {

namespace {
const char* const HashNotInitialized = "Hash not initialized";
}

// The library object keeps its buffers in self-wiping memory; Restart wipes the running state.
struct TDCP_sha1::State {
    CryptoPP::SHA1 sha;
};

TDCP_sha1::TDCP_sha1() : state_(std::make_unique<State>()) {}

TDCP_sha1::~TDCP_sha1() = default;

void TDCP_sha1::Init() {
    Burn();
    fInitialized = true;
}

void TDCP_sha1::Burn() {
    state_->sha.Restart();
    fInitialized = false;
}

void TDCP_sha1::Update(const void* buffer, size_t size) {
    if (!fInitialized) throw EDCP_hash(HashNotInitialized);
    try {
        state_->sha.Update(static_cast<const CryptoPP::byte*>(buffer), size);
    } catch (const CryptoPP::Exception& e) {
        throw EDCP_hash(e.what());
    }
}

void TDCP_sha1::Final(void* digest) {
    if (!fInitialized) throw EDCP_hash(HashNotInitialized);
    try {
        state_->sha.Final(static_cast<CryptoPP::byte*>(digest));
    } catch (const CryptoPP::Exception& e) {
        Burn();
        throw EDCP_hash(e.what());
    }
    Burn();
}

}  // namespace tellvane
