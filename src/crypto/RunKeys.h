#pragma once
// The stretched keys of one run. Argon2id takes its 64 MiB and a noticeable time on purpose; a
// run pays it once: encrypting, every file shares one salt and its key; decrypting, the key of
// each salt met is kept for the files that follow. Everything is wiped when the run ends.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "crypto/ModernFormat.h"

namespace tellvane {

class TRunKeys {
public:
    TRunKeys();
    ~TRunKeys();
    TRunKeys(const TRunKeys&) = delete;
    TRunKeys& operator=(const TRunKeys&) = delete;

    // The run key of PASSPHRASE under SALT, PASSES and MEMORYKIB; stretched at the first request only.
    void Derive(const std::string& passPhrase, const TModernSalt& salt, uint32_t passes, uint32_t memoryKiB,
                TModernKey& runKey);
    // The salt all files of an encryption run share, drawn at the first request.
    const TModernSalt& EncryptionSalt();
    // How many times Argon2id ran.
    int Stretchings() const;

private:
    struct TEntry;
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<TEntry>> entries_;
    bool saltDrawn_ = false;
    TModernSalt salt_{};
    int stretchings_ = 0;
};

}  // namespace tellvane
