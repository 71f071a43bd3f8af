#pragma once
// "All at once" with its layers in a pipeline: each layer runs on a thread of its own and ciphers
// the part its inner layer has just finished, so the cascade takes about as long as its slowest
// cipher rather than the sum of all. The bytes are those of the serial cascade: each layer still
// cuts its own input into its own parts, one cipher call per part, and no layer reaches the disk
// but the outermost.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"

namespace tellvane {

class TDCP_blockcipher;
class TInputFile;
class TOutputFile;
struct TEncHeader;

struct TCascadeLayer {
    TDCP_blockcipher* cipher = nullptr;
    std::string sign;
};

// Writes to OUT what EncryptLayer would give for LAYERS[n-1] over the output of LAYERS[n-2] ...
// over LAYERS[0] over IN, every layer storing STOREDNAME. False when ONHALT stopped it (asked
// before each reported part and at least every 100 ms). Progress: the layers' bytes done over
// their sum, each part's PartSize divided by PASSCOUNT, the time between reports. Callbacks run
// on the calling thread; the ciphers' keying is burnt when the call ends.
bool EncryptCascade(const std::vector<TCascadeLayer>& layers, const std::string& password, const TInputFile& in,
                    const std::string& storedName, TOutputFile& out, const THaltOperationCallback& onHalt,
                    const TProgressOperationCallback& onProgress, int64_t passCount);

// Progress of one layer of a pipelined decryption: LAYER counts from the outer one (0).
using TLayerProgressCallback = std::function<void(size_t layer, int64_t done, int64_t total, double seconds)>;

// Inner layers the decryption pipeline unwraps at most; deeper ones are left in OUT for the caller.
constexpr size_t MaxPipelinedInnerLayers = 32;

// Decrypts the body of IN, whose CIPHER UnlockEncName left ready, into OUT, and on the way every
// inner layer that is the .enc of a cipher storing NAME under PASSWORD, as a decryption of each
// layer's whole file in turn would. The number of layers decrypted (at least 1), or 0 when
// ONHALT stopped it. Callbacks run on the calling thread.
size_t DecryptCascade(TDCP_blockcipher& cipher, const TInputFile& in, const TEncHeader& header,
                      const std::string& name, const std::string& password, TOutputFile& out,
                      const THaltOperationCallback& onHalt, const TLayerProgressCallback& onProgress);

}  // namespace tellvane
