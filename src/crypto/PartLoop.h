#pragma once
// The loop that feeds an .enc body through a cipher in about a hundred parts, asking whether to
// halt before each part and reporting progress after it. Reading, ciphering and writing overlap
// (a reader and a writer thread around the caller's), but every byte is the same as one stream
// call per part: only the part lengths decide the output.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/OperationCallbacks.h"

namespace tellvane {

class TInputFile;
class TOutputFile;

// Part length for a body of TOTALSIZE bytes: 1 below 100 bytes, else TOTALSIZE div 100.
int64_t PartLength(int64_t totalSize);

// Passes SIZE bytes in place through the cipher, continuing its chaining from the previous call.
using TChunkTransform = std::function<void(uint8_t* data, size_t size)>;

struct TPartLoopJob {
    const TInputFile* input = nullptr;
    int64_t inputOffset = 0;  // where the body starts in the input
    TOutputFile* output = nullptr;  // written at its current end
    int64_t totalSize = 0;
    size_t blockBytes = 8;  // the cipher's block, in bytes
    TChunkTransform transform;
    THaltOperationCallback onHalt;
    TProgressOperationCallback onProgress;
    // PartSize reported is the part's length divided by this (passes per file), or 0 when it is 0.
    int64_t partSizeDivisor = 1;
    // False: read, cipher and write in turn on the calling thread (for comparison and checks).
    bool overlapped = true;
};

// Runs the loop; true when every part was processed, false when OnHalt stopped it (asked before
// each part and between buffers, so a halt is heard within one buffer's read). Throws
// EFileError "Stream read error" when the input ends early or cannot be read, and the output's
// error when it cannot be written. Callbacks run on the calling thread.
bool ProcessInParts(const TPartLoopJob& job);

// Buffer size of the overlapped loop: a whole number of blocks of every cipher.
constexpr size_t PartLoopBufferBytes = size_t(1) << 20;

}  // namespace tellvane
