#pragma once
// The registry's modern entry, "C2P": Argon2id and ChaCha20-Poly1305 (crypto/ModernFormat.h).
// Its files open only with programs that know this entry.
#include <memory>
#include <string>

#include "crypto/CryptoAlgorithms.h"

namespace tellvane {

class EModernStretching;

std::unique_ptr<TCryptoAlgorithm> CreateModernAlgorithm();
// What the user is told about FILENAME, whose header asks for the stretching REFUSAL names.
std::string StretchingRefusedMessage(const std::string& fileName, const EModernStretching& refusal);

}  // namespace tellvane
