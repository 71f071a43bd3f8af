#pragma once
// A wiping method, its pass driver and the registry of the eleven methods.
#include <sys/types.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/OperationCallbacks.h"
#include "base/Options.h"
#include "shred/CharGenerators.h"

namespace tellvane {

// The passes of one wipe, in order, one generator per pass.
using TPassList = std::vector<std::unique_ptr<TCharGenerator>>;

// A wiping method as the table of shred/ShredMethods.h gives it.
struct TShredMethod {
    std::string_view ClassName;  // the key of its description
    std::string_view Choice;     // the text of its choice in the user interface
    // One word per pass, in order: hex digits, a fixed byte pattern repeated ("FFFFFFFD"); R, a
    // fresh random byte 0..254 per position; C, one random byte 0..254 for the whole pass, drawn
    // when the passes are built, in pass order; I, the complement of what the previous pass left.
    std::string_view Passes;
};

// One pass of a method.
struct TShredPass {
    enum TKind { pkPattern, pkRandom, pkRandomConstant, pkInvert };
    TKind Kind = pkPattern;
    std::vector<uint8_t> Pattern;  // for pkPattern
};
// The passes of a method's pass words; throws std::invalid_argument for a word it cannot read.
std::vector<TShredPass> ParseShredPasses(std::string_view words);

class TShredAlgorithm {
public:
    // METHOD's texts must outlive the instance (the table's literals do).
    explicit TShredAlgorithm(const TShredMethod& method);
    // Overwrites the data of FILENAME pass after pass (holes of a sparse file hold none and stay
    // holes), then deletes it. Returns normally when the file was wiped and deleted, was empty,
    // was a symbolic link (the link alone is removed) or when ONHALT stopped it. Throws
    // ENotRegularFile for a pipe, socket, device or folder, EFileSkipped naming the system's
    // reason when it cannot be written or flushed, EFileError when it cannot be opened or read,
    // and EFileSkipped when it changed under the wipe or could not be deleted.
    void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
               const TProgressOperationCallback& onProgress) const;
    // What an overwrite of an open file came to: done, done while the file changed size under it,
    // or stopped by the halt callback part-way.
    enum class TOverwrite { Done, Changed, Halted };
    // Overwrites the data of the regular file open read-write as FD pass after pass, each pass
    // flushed to the device, as Shred does, but neither opens nor deletes it: the caller holds the
    // file and decides about its name. FILENAME names it in messages. Throws as Shred does for a
    // failed read, write or flush.
    TOverwrite Overwrite(const std::string& fileName, int fd, const THaltOperationCallback& onHalt,
                         const TProgressOperationCallback& onProgress) const;
    // The class name: the key of the method's description.
    std::string ClassName() const { return std::string(method_.ClassName); }
    // The text of the method's choice in the user interface.
    std::string DisplayName() const { return std::string(method_.Choice); }
    // The method's description from "shreds" + LanguageID + ".ini" (empty when missing).
    std::string GetDesc() const;
    const std::vector<TShredPass>& Passes() const { return passes_; }

    // Chunk size of the pass driver.
    static constexpr size_t ChunkSize = 65536;

private:
    // A generator per pass, built afresh for every file: constant random bytes are drawn here.
    TPassList BuildPasses() const;
    // Opens the file through its parent folder, lets the pass driver overwrite it, then deletes it.
    static void ExecutePasses(const std::string& fileName, TPassList passes, const THaltOperationCallback& onHalt,
                              const TProgressOperationCallback& onProgress);
    // The pass driver: applies every pass to the whole open file in chunks, flushing each pass to
    // the device.
    static TOverwrite OverwritePasses(const std::string& fileName, int fd, TPassList passes,
                                      const THaltOperationCallback& onHalt, const TProgressOperationCallback& onProgress);
    // Replaces each byte of BUFFER, in order, by GENERATOR.Generate(byte).
    static void TransformBuffer(uint8_t* buffer, size_t size, TCharGenerator& generator);

    TShredMethod method_;
    std::vector<TShredPass> passes_;
};

// A seam for tests: sees the driver between passes and owns its writes and flushes. The program
// never installs one.
class TShredDriverObserver {
public:
    virtual ~TShredDriverObserver() = default;
    // Pass PASSINDEX (from 0) of PASSCOUNT has been written and flushed; the next pass (or the
    // deletion) has not started.
    virtual void PassDone(const std::string& fileName, int passIndex, int passCount) {
        (void)fileName, (void)passIndex, (void)passCount;
    }
    // Writes SIZE bytes at POS; returns what pwrite returns.
    virtual ssize_t Write(int fd, const void* data, size_t size, off_t pos);
    // Flushes the file's data to the device; returns what fdatasync returns.
    virtual int Flush(int fd);
};
// Installs OBSERVER (not owned; nullptr removes it).
void SetShredDriverObserver(TShredDriverObserver* observer);

// The registry: one instance of each method, in the order of the choices, and their descriptions
// in LANGUAGE.
void CreateShredAlgorithms(const TLanguageChoice& language = {});
void FreeShredAlgorithms();
std::vector<std::unique_ptr<TShredAlgorithm>>& ShredAlgorithmList();

}  // namespace tellvane
