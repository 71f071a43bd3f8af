#pragma once
// The registry's modern entry, "C2P": Argon2id and ChaCha20-Poly1305 (crypto/ModernFormat.h).
// Its files open only with programs that know this entry.
#include <memory>

#include "crypto/CryptoAlgorithms.h"

namespace tellvane {

std::unique_ptr<TCryptoAlgorithm> CreateModernAlgorithm();

}  // namespace tellvane
