// Work of the encrypt and decrypt operations (filled in by the encryption work).
#include <stdexcept>

#include "engine/Operations.h"

namespace tellvane {

void TEncrypt::Work(const std::string&) { throw std::logic_error("encryption is not built yet"); }
void TDecrypt::Work(const std::string&) { throw std::logic_error("decryption is not built yet"); }
bool TDecrypt::FindAlgorithm(const std::string&) { return false; }

}  // namespace tellvane
