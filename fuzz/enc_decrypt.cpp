// A whole decryption of an .enc file made of the input's bytes, under the fixed pass phrase the
// seeds were made with, by the entry the program uses for every file ("All at once" picks the
// cipher by signature and unwraps nested layers). Afterwards the folder holds the restored file
// when the run reports it done, and nothing new otherwise: no partial or temporary file.
#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "crypto/BlockCipher.h"
#include "crypto/CryptoAlgorithms.h"
#include "platform/FileSystem.h"

using namespace tellvane;

int tellvane::fuzz::EncDecrypt(const uint8_t* data, size_t size) {
    static const bool created = [] {
        fuzz::ScratchFolder();
        CreateAlgorithms();
        return true;
    }();
    (void)created;
    fuzz::ClearScratch("");
    const std::string path = fuzz::WriteScratchFile("in.enc", data, size);
    bool done = false;
    try {
        done = FindAlgorithmBySign("ALL")->Decrypt(path, "fuzz", {}, {}, {});
    } catch (const EFileSkipped&) {
    } catch (const EFileError&) {
    }
    fuzz::CheckRestoredOnlyWhenDone(done);
    return 0;
}

std::string tellvane::fuzz::EncDecryptOutcome(const uint8_t* data, size_t size) {
    CreateAlgorithms();
    fuzz::ClearScratch("");
    const std::string path = fuzz::WriteScratchFile("in.enc", data, size);
    return fuzz::DecryptionOutcome([&] { return FindAlgorithmBySign("ALL")->Decrypt(path, "fuzz", {}, {}, {}); });
}
