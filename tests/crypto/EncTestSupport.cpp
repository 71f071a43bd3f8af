#include "crypto/EncTestSupport.h"

#include <cryptopp/aes.h>
#include <cryptopp/base64.h>
#include <cryptopp/crc.h>
#include <cryptopp/filters.h>
#include <cryptopp/sha.h>

#include <cstring>
#include <stdexcept>

#include "crypto/CryptoAlgorithms.h"
#include "platform/AppFolders.h"

namespace tellvane::test {

TRegistryScope::TRegistryScope() : oldApp_(GetAppFolder()), oldData_(GetDataFolder()) {
    SetAppFolder(app_.path().string());
    SetDataFolder(data_.path().string());
    FreeAlgorithms();
    CreateAlgorithms();
}

TRegistryScope::~TRegistryScope() {
    FreeAlgorithms();
    SetAppFolder(oldApp_);
    if (!oldData_.empty()) SetDataFolder(oldData_);
}

namespace {

class RefRij {
public:
    explicit RefRij(const std::string& password) {
        uint8_t digest[20];
        CryptoPP::SHA1().CalculateDigest(digest, reinterpret_cast<const uint8_t*>(password.data()), password.size());
        uint8_t key[24] = {};
        std::memcpy(key, digest, 20);
        enc_.SetKey(key, 24);
        dec_.SetKey(key, 24);
        uint8_t zero[16] = {};
        enc_.ProcessBlock(zero, cv_);
    }
    // 8-bit CFB: T = E(CV); out = in ^ T[0]; shift in the ciphertext byte.
    void Cfb8(uint8_t* data, size_t n, bool decrypt) {
        for (size_t i = 0; i < n; ++i) {
            uint8_t t[16];
            enc_.ProcessBlock(cv_, t);
            const uint8_t c = decrypt ? data[i] : static_cast<uint8_t>(data[i] ^ t[0]);
            data[i] ^= t[0];
            std::memmove(cv_, cv_ + 1, 15);
            cv_[15] = c;
        }
    }
    void Cbc(uint8_t* data, size_t n, bool decrypt) {
        size_t i = 0;
        for (; i + 16 <= n; i += 16) {
            uint8_t* b = data + i;
            if (decrypt) {
                uint8_t c[16], p[16];
                std::memcpy(c, b, 16);
                dec_.ProcessBlock(c, p);
                for (int k = 0; k < 16; ++k) b[k] = p[k] ^ cv_[k];
                std::memcpy(cv_, c, 16);
            } else {
                for (int k = 0; k < 16; ++k) b[k] ^= cv_[k];
                enc_.ProcessBlock(b);
                std::memcpy(cv_, b, 16);
            }
        }
        if (i < n) {
            enc_.ProcessBlock(cv_);
            for (size_t k = 0; i + k < n; ++k) data[i + k] ^= cv_[k];
        }
    }
    // The body in the format's parts: 1 byte each below 100, else a hundredth, the rest last.
    void Body(uint8_t* data, int64_t total, bool decrypt) {
        if (total <= 0) return;
        const int64_t p = total < 100 ? 1 : total / 100;
        for (int64_t pos = 0; pos < total; pos += p)
            Cbc(data + pos, static_cast<size_t>(std::min(p, total - pos)), decrypt);
    }

private:
    CryptoPP::AES::Encryption enc_;
    CryptoPP::AES::Decryption dec_;
    uint8_t cv_[16];
};

uint32_t Crc16le(const std::string& asciiName) {
    std::string le;
    for (char ch : asciiName) {
        le += ch;
        le += '\0';
    }
    CryptoPP::CRC32 crc;
    uint32_t out = 0;
    crc.CalculateDigest(reinterpret_cast<uint8_t*>(&out), reinterpret_cast<const uint8_t*>(le.data()), le.size());
    return out;  // Crypto++ stores the register little-endian, as the header does
}

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

}  // namespace

TReferenceDecoded ReferenceDecodeRij(const std::vector<uint8_t>& file, const std::string& password) {
    if (file.size() < 11 || std::memcmp(file.data(), "RIJ", 3) != 0) throw std::runtime_error("not an RIJ file");
    const uint32_t storedCrc = Le32(file.data() + 3);
    const uint32_t nameLength = Le32(file.data() + 7);
    const std::string b64(file.begin() + 11, file.begin() + 11 + nameLength);
    std::string name;
    CryptoPP::StringSource(b64, true, new CryptoPP::Base64Decoder(new CryptoPP::StringSink(name)));
    RefRij rij(password);
    rij.Cfb8(reinterpret_cast<uint8_t*>(name.data()), name.size(), true);
    TReferenceDecoded out;
    out.name = name;
    out.nameMatches = Crc16le(name) == storedCrc;
    out.body.assign(file.begin() + 11 + nameLength, file.end());
    rij.Body(out.body.data(), static_cast<int64_t>(out.body.size()), true);
    return out;
}

std::vector<uint8_t> ReferenceEncodeRij(const std::string& name, const std::vector<uint8_t>& body,
                                        const std::string& password) {
    RefRij rij(password);
    std::string encName = name;
    rij.Cfb8(reinterpret_cast<uint8_t*>(encName.data()), encName.size(), false);
    std::string b64;
    CryptoPP::StringSource(encName, true, new CryptoPP::Base64Encoder(new CryptoPP::StringSink(b64), false));
    std::vector<uint8_t> out = {'R', 'I', 'J'};
    const uint32_t crc = Crc16le(name);
    const auto len = static_cast<uint32_t>(b64.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(len >> (8 * i)));
    out.insert(out.end(), b64.begin(), b64.end());
    std::vector<uint8_t> enc = body;
    rij.Body(enc.data(), static_cast<int64_t>(enc.size()), false);
    out.insert(out.end(), enc.begin(), enc.end());
    return out;
}

}  // namespace tellvane::test
