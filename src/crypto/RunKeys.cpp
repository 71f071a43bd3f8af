#include "crypto/RunKeys.h"

#include <cstring>

namespace tellvane {

struct TRunKeys::TEntry {
    TSecretString passPhrase;
    TModernSalt salt{};
    uint32_t passes = 0;
    uint32_t memoryKiB = 0;
    TModernKey key;
};

TRunKeys::TRunKeys() = default;
TRunKeys::~TRunKeys() = default;

void TRunKeys::Derive(const std::string& passPhrase, const TModernSalt& salt, uint32_t passes, uint32_t memoryKiB,
                      TModernKey& runKey) {
    const std::lock_guard lock(mutex_);
    for (const auto& entry : entries_) {
        if (entry->salt == salt && entry->passes == passes && entry->memoryKiB == memoryKiB &&
            entry->passPhrase == passPhrase) {
            std::memcpy(runKey.data, entry->key.data, runKey.size());
            return;
        }
    }
    auto entry = std::make_unique<TEntry>();
    DeriveModernRunKey(passPhrase, salt, passes, memoryKiB, entry->key);
    ++stretchings_;
    entry->passPhrase = passPhrase;
    entry->salt = salt;
    entry->passes = passes;
    entry->memoryKiB = memoryKiB;
    std::memcpy(runKey.data, entry->key.data, runKey.size());
    entries_.push_back(std::move(entry));
}

const TModernSalt& TRunKeys::EncryptionSalt() {
    const std::lock_guard lock(mutex_);
    if (!saltDrawn_) {
        FillModernRandom(salt_.data(), salt_.size());
        saltDrawn_ = true;
    }
    return salt_;
}

int TRunKeys::Stretchings() const {
    const std::lock_guard lock(mutex_);
    return stretchings_;
}

}  // namespace tellvane
