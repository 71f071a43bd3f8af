// A whole decryption of an .enc file made of the input's bytes, under the fixed pass phrase the
// seeds were made with, by the entry the program uses for every file ("All at once" picks the
// cipher by signature and unwraps nested layers). Afterwards the folder holds the restored file
// when the run reports it done, and nothing new otherwise: no partial or temporary file.
#include <algorithm>

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
    const std::string left = fuzz::ScratchFilesExcept("in.enc");
    const size_t files = left.empty() ? 0 : std::count(left.begin(), left.end(), ' ');
    if (files != (done ? 1u : 0u)) fuzz::Fail(("files left after the run: " + left).c_str());
    return 0;
}

std::string tellvane::fuzz::EncDecryptOutcome(const uint8_t* data, size_t size) {
    CreateAlgorithms();
    fuzz::ClearScratch("");
    const std::string path = fuzz::WriteScratchFile("in.enc", data, size);
    std::string outcome;
    try {
        if (FindAlgorithmBySign("ALL")->Decrypt(path, "fuzz", {}, {}, {})) {
            std::string name = fuzz::ScratchFilesExcept("in.enc");
            if (!name.empty()) name.pop_back();
            outcome = "accepted: restored \"" + fuzz::Printable(name) + "\", " +
                      std::to_string(GetFileSize(fuzz::ScratchFolder() + name)) + " bytes";
        } else {
            outcome = "refused: the pass phrase does not open it";
        }
    } catch (const std::exception& e) {
        outcome = std::string("refused: ") + e.what();
    }
    fuzz::ClearScratch("");
    // Messages name the file: the scratch folder differs from run to run.
    for (size_t at; (at = outcome.find(fuzz::ScratchFolder())) != std::string::npos;)
        outcome.erase(at, fuzz::ScratchFolder().size());
    return outcome;
}
