#pragma once
// The five operations (what to do with one file, folder or drive) and the operation registry.
#include <memory>
#include <string>
#include <vector>

#include "engine/OperationCallbacks.h"

namespace tellvane {

class TCryptoAlgorithm;  // crypto/CryptoAlgorithms.h
class TShredAlgorithm;   // shred/ShredAlgorithms.h

class TOperation {
public:
    TOperation(std::string title = {}, std::string desc = {}) : Title(std::move(title)), Desc(std::move(desc)) {}
    virtual ~TOperation() = default;
    TOperation(const TOperation&) = delete;
    TOperation& operator=(const TOperation&) = delete;

    // Does the operation on one path.
    virtual void Work(const std::string& fileName) = 0;
    // Heading of the completion page.
    virtual std::string GetCompleteHeader() const = 0;
    // Past participle of the completion count ("%d files were %s").
    virtual std::string GetCompleteText() const = 0;

    THaltOperationCallback OnHalt;
    TProgressOperationCallback OnProgress;
    TInvalidPasswordCallback OnInvalidPassword;
    std::string Title;
    std::string Desc;
};

class TCrypt : public TOperation {
public:
    using TOperation::TOperation;
    TCryptoAlgorithm* Algo = nullptr;  // owned by the cipher registry
    std::string Password;              // 8-bit text in the ANSI code page
    bool DeleteSourceFiles = false;
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
    // Chooses Algo by the file's first three bytes; false (after telling the user) when none matches.
    bool FindAlgorithm(const std::string& fileName);
};

class TShred : public TOperation {
public:
    using TOperation::TOperation;
    void Work(const std::string& fileName) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;
    TShredAlgorithm* Algo = nullptr;  // owned by the wiping-method registry
};

class THide : public TOperation {
public:
    using TOperation::TOperation;
    void Work(const std::string& name) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;
};

class TShow : public TOperation {
public:
    using TOperation::TOperation;
    void Work(const std::string& name) override;
    std::string GetCompleteHeader() const override;
    std::string GetCompleteText() const override;
    int ItemToShowIndex = 0;
};

// A decoded picture of the operation list: RGB rows, top to bottom.
struct TOperationImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // width * height * 3 bytes
};

// Builds the registry: the five operations with their localized titles and descriptions, and the
// ten pictures AppFolder + "res/0.jpg" .. "res/9.jpg". Throws EFileError for a missing or
// unreadable picture.
void CreateOperations();
void FreeOperations();
bool OperationsCreated();
TOperation& GetOperation(int index);
const TOperationImage& GetOperationImage(int index);
const TOperationImage& GetSelectedOperationImage(int index);
int OperationCount();

// Decodes a JPEG file; throws EFileError when it cannot be read or decoded.
TOperationImage LoadJpegFile(const std::string& fileName);

}  // namespace tellvane
