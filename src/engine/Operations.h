#pragma once
// The five operations (what to do with one file, folder or drive) and the operation registry.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/OperationCallbacks.h"
#include "crypto/RunKeys.h"
#include "engine/DurableDeletions.h"
#include "platform/SecretString.h"

namespace tellvane {

class TCryptoAlgorithm;  // crypto/CryptoAlgorithms.h
struct TCryptFileOptions;
struct TFileIdentity;
class TShredAlgorithm;   // shred/ShredAlgorithms.h

// What makes every further file of a run impossible (the data folder cannot be written, say): the
// run ends and lists the entries it did not reach.
class ERunCannotGoOn : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TOperation {
public:
    TOperation(std::string title = {}, std::string desc = {}) : Title(std::move(title)), Desc(std::move(desc)) {}
    virtual ~TOperation() = default;
    TOperation(const TOperation&) = delete;
    TOperation& operator=(const TOperation&) = delete;

    // Does the operation on one path. Throws EFileError (EFileSkipped among them) for what
    // concerns this path alone, and anything else for what ends the run.
    virtual void Work(const std::string& fileName) = 0;
    // Called once with the run's list before the first Work (warnings that concern the whole run).
    virtual void BeforeRun(const std::vector<std::string>& fileNames) { (void)fileNames; }
    // Finishes the work that Work left for a batch, when it is due, or all of it. Reports what it
    // could not finish per file, as Work's failures are.
    virtual void Settle(bool all) { (void)all; }
    // Heading of the completion page.
    virtual std::string GetCompleteHeader() const = 0;
    // Past participle of the completion count ("%d files were %s").
    virtual std::string GetCompleteText() const = 0;

    THaltOperationCallback OnHalt;
    TProgressOperationCallback OnProgress;
    TInvalidPasswordCallback OnInvalidPassword;
    TReplaceFileCallback OnReplaceFile;  // null: an output never replaces an existing file
    // Set by the worker that calls Settle: Work may leave its last step to a batch.
    bool SettleInBatches = false;
    std::string Title;
    std::string Desc;
};

class TCrypt : public TOperation {
public:
    using TOperation::TOperation;
    TCryptoAlgorithm* Algo = nullptr;  // owned by the cipher registry
    TSecretString Password;            // as typed (UTF-8); each entry makes its key from it
    bool DeleteSourceFiles = false;
    // With DeleteSourceFiles: the wiping method that overwrites each source before its name goes
    // (owned by the wiping-method registry); null: the name only is removed.
    const TShredAlgorithm* WipeSourceWith = nullptr;
    // Keys stretched once per run and wiped with it.
    std::unique_ptr<TRunKeys> RunKeys = std::make_unique<TRunKeys>();
    // Deletes the sources whose outputs are waiting to be flushed together.
    void Settle(bool all) override;

    // A run that wipes its sources warns as a shred run does, once per run, about file systems
    // and devices where overwriting cannot reach the old blocks.
    void BeforeRun(const std::vector<std::string>& fileNames) override;

protected:
    // The per-file options of the cipher pass.
    TCryptFileOptions FileOptions() const;
    // After a completed pass: deletes FILENAME when asked (at once, or with its batch), but only
    // while it is still the file READ, unchanged.
    void SourceDone(const std::string& fileName, const TFileIdentity& read);
    // Deletes (or wipes and deletes) FILENAME if it is still the file READ, unchanged, its output
    // being durable (engine/SourceDisposal.h).
    void FinishSource(const std::string& fileName, const TFileIdentity& read);
    // A pass that returned incomplete: a halt needs no report, a declined pass phrase throws
    // EFileSkipped.
    void ReportIncomplete(const std::string& fileName);

private:
    TDurableDeletions deletions_;
};

class TEncrypt : public TCrypt {
public:
    using TCrypt::TCrypt;
    void Work(const std::string& fileName) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;
};

class TDecrypt : public TCrypt {
public:
    using TCrypt::TCrypt;
    void Work(const std::string& fileName) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;
    // Chooses Algo by the file's first three bytes; throws EFileSkipped, told at once, when none
    // matches.
    void FindAlgorithm(const std::string& fileName);
};

class TShred : public TOperation {
public:
    using TOperation::TOperation;
    void Work(const std::string& fileName) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;
    // Warns once when a file of the run lies on a copy-on-write file system, and once when one
    // lies on a device that is not rotational (flash) (engine/WipeWarnings.h).
    void BeforeRun(const std::vector<std::string>& fileNames) override;
    TShredAlgorithm* Algo = nullptr;  // owned by the wiping-method registry
    std::string SysDevBlockFolder = "/sys/dev/block/";  // where the kernel tells of block devices
};

class THide : public TOperation {
public:
    using TOperation::TOperation;
    void Work(const std::string& name) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;

private:
    void HideOne(const std::string& given);
};

class TShow : public TOperation {
public:
    using TOperation::TOperation;
    void Work(const std::string& name) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;
    int ItemToShowIndex = 0;

private:
    void ShowOne(const std::string& name);
};

// A picture of the operation list as read from the res folder: the JPEG file's bytes, decoded by
// the window that shows them, and the size its frame header gives.
struct TOperationPicture {
    std::string jpeg;
    int width = 0;
    int height = 0;
};

// Builds the registry: the five operations with their localized titles and descriptions, and the
// ten pictures AppFolder + "res/0.jpg" .. "res/9.jpg". Throws EFileError for a missing or
// unreadable picture, or a file that is no JPEG picture.
void CreateOperations();
void FreeOperations();
bool OperationsCreated();
TOperation& GetOperation(int index);
const TOperationPicture& GetOperationImage(int index);
const TOperationPicture& GetSelectedOperationImage(int index);
int OperationCount();

// The size of the JPEG picture BYTES from its frame header; false when BYTES do not begin as a JPEG
// picture whose frame has at least one pixel.
bool ReadJpegSize(std::string_view bytes, int& width, int& height);
// Reads a JPEG file and its size; throws EFileError when it cannot be read or is no JPEG picture.
TOperationPicture LoadJpegFile(const std::string& fileName);

}  // namespace tellvane
