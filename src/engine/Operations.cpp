#include "engine/Operations.h"

#include <cstdint>
#include <memory>

#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"

namespace tellvane {

std::string TEncrypt::GetCompleteHeader() const { return GetConstantValue("Encryption_completed"); }
std::string TEncrypt::GetCompleteText() const { return GetConstantValue("encrypted"); }
std::string TDecrypt::GetCompleteHeader() const { return GetConstantValue("Decryption_completed"); }
std::string TDecrypt::GetCompleteText() const { return GetConstantValue("decrypted"); }
std::string TShred::GetCompleteHeader() const { return GetConstantValue("Shredding_completed"); }
std::string TShred::GetCompleteText() const { return GetConstantValue("shredded"); }
std::string THide::GetCompleteHeader() const { return GetConstantValue("Hide_operation_completed"); }
std::string THide::GetCompleteText() const { return GetConstantValue("hidden"); }
std::string TShow::GetCompleteHeader() const { return GetConstantValue("Show_operation_completed"); }
std::string TShow::GetCompleteText() const { return GetConstantValue("shown"); }

namespace {

struct Registry {
    std::vector<std::unique_ptr<TOperation>> operations;
    std::vector<TOperationPicture> images;
    bool created = false;
};

Registry& State() {
    static Registry r;
    return r;
}

template <class T>
std::unique_ptr<TOperation> MakeOperation(const char* key) {
    const std::string desc = GetConstantValue(std::string(key) + "_desc");
    return std::make_unique<T>(GetConstantValue(key), desc);
}

}  // namespace

bool ReadJpegSize(std::string_view bytes, int& width, int& height) {
    auto at = [&](size_t i) { return static_cast<unsigned>(static_cast<uint8_t>(bytes[i])); };
    if (bytes.size() < 4 || at(0) != 0xFF || at(1) != 0xD8) return false;
    size_t pos = 2;
    while (pos + 1 < bytes.size()) {
        if (at(pos) != 0xFF) return false;
        const unsigned marker = at(pos + 1);
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        pos += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // markers without a segment
        if (marker == 0xD9 || marker == 0xDA) return false;                  // the image ended or a scan began, no frame
        if (pos + 2 > bytes.size()) return false;
        const size_t length = at(pos) << 8 | at(pos + 1);
        if (length < 2 || length > bytes.size() - pos) return false;
        // SOF0..SOF15 but DHT, JPG and DAC: precision, height, width.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 7) return false;
            height = static_cast<int>(at(pos + 3) << 8 | at(pos + 4));
            width = static_cast<int>(at(pos + 5) << 8 | at(pos + 6));
            return width > 0 && height > 0;
        }
        pos += length;
    }
    return false;
}

TOperationPicture LoadJpegFile(const std::string& fileName) {
    TOperationPicture picture;
    picture.jpeg = ReadWholeFile(fileName);
    if (!ReadJpegSize(picture.jpeg, picture.width, picture.height))
        throw EFileError("Cannot decode picture \"" + fileName + "\"");
    return picture;
}

void CreateOperations() {
    Registry fresh;
    fresh.operations.push_back(MakeOperation<TEncrypt>("Encrypt"));
    fresh.operations.push_back(MakeOperation<TDecrypt>("Decrypt"));
    fresh.operations.push_back(MakeOperation<TShred>("Shred"));
    fresh.operations.push_back(MakeOperation<THide>("Hide"));
    fresh.operations.push_back(MakeOperation<TShow>("Show"));
    for (int i = 0; i <= 9; ++i)
        fresh.images.push_back(LoadJpegFile(GetAppFolder() + "res/" + std::to_string(i) + ".jpg"));
    fresh.created = true;
    State() = std::move(fresh);
}

void FreeOperations() { State() = Registry{}; }

bool OperationsCreated() { return State().created; }

TOperation& GetOperation(int index) { return *State().operations.at(static_cast<size_t>(index)); }

const TOperationPicture& GetOperationImage(int index) { return State().images.at(static_cast<size_t>(index)); }

const TOperationPicture& GetSelectedOperationImage(int index) {
    return State().images.at(static_cast<size_t>(index) + State().images.size() / 2);
}

int OperationCount() { return static_cast<int>(State().operations.size()); }

}  // namespace tellvane
