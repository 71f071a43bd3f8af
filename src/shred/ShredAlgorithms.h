#pragma once
// The eleven wiping methods, their pass driver and registry.
#include <sys/types.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/OperationCallbacks.h"
#include "shred/CharGenerators.h"

namespace tellvane {

// A wipe that ran but could not do all it promised: the file grew or was replaced under it
// (ccChanged), or it could not be deleted (ccNotDeleted, with ERR). The file was overwritten as far
// as it could be.
class EShredIncomplete : public std::runtime_error {
public:
    enum TCause { ccChanged, ccNotDeleted };
    EShredIncomplete(TCause cause, int err) : std::runtime_error("shred incomplete"), Cause(cause), Err(err) {}
    TCause Cause;
    int Err;
};

// The passes of one wipe, in order, one generator per pass.
using TPassList = std::vector<std::unique_ptr<TCharGenerator>>;

class TShredAlgorithm {
public:
    virtual ~TShredAlgorithm() = default;
    // Overwrites the data of FILENAME pass after pass (holes of a sparse file hold none and stay
    // holes), then deletes it. Returns normally when the file was wiped and deleted, was empty,
    // was a symbolic link (the link alone is removed) or when ONHALT stopped it. Throws
    // ENotRegularFile for a pipe, socket, device or folder, EFileSkipped naming the system's
    // reason when it cannot be written or flushed, EFileError when it cannot be opened or read,
    // and EShredIncomplete when it changed under the wipe or could not be deleted.
    virtual void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                       const TProgressOperationCallback& onProgress) = 0;
    // The class name: the key of the method's description.
    virtual std::string ClassName() const = 0;
    // The text of the method's choice in the user interface.
    virtual std::string DisplayName() const = 0;
    // The method's description from "shreds" + LanguageID + ".ini" (empty when missing).
    std::string GetDesc() const;

    // Chunk size of the pass driver.
    static constexpr size_t ChunkSize = 65536;

protected:
    // The pass driver: applies every pass to the whole file in chunks, flushing each pass to the
    // device, then deletes the file.
    static void ExecutePasses(const std::string& fileName, TPassList passes, const THaltOperationCallback& onHalt,
                              const TProgressOperationCallback& onProgress);
    // Replaces each byte of BUFFER, in order, by GENERATOR.Generate(byte).
    static void TransformBuffer(uint8_t* buffer, size_t size, TCharGenerator& generator);
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

// The registry: one instance of each method, in the order of the choices.
void CreateShredAlgorithms();
void FreeShredAlgorithms();
std::vector<std::unique_ptr<TShredAlgorithm>>& ShredAlgorithmList();

}  // namespace tellvane
