// Base64 decoding of the input as text; what decodes encodes back to text that decodes the same,
// and the input taken as bytes survives an encoding.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "crypto/Base64.h"
#include "crypto/BlockCipher.h"

using namespace tellvane;

int tellvane::fuzz::Base64(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (Base64Decode(Base64Encode(text)) != text) fuzz::Fail("bytes do not survive an encoding");
    std::string bytes;
    try {
        bytes = Base64Decode(text);
    } catch (const EDCP_cipher&) {
        return 0;
    }
    if (bytes.size() > size / 4 * 3) fuzz::Fail("more bytes than the text can hold");
    if (Base64Decode(Base64Encode(bytes)) != bytes) fuzz::Fail("decoded bytes do not survive an encoding");
    return 0;
}
