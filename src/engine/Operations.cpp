#include "engine/Operations.h"

#include <turbojpeg.h>

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
    std::vector<TOperationImage> images;
    bool created = false;
};

Registry& State() {
    static Registry r;
    return r;
}

struct TjCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

template <class T>
std::unique_ptr<TOperation> MakeOperation(const char* key) {
    const std::string desc = GetConstantValue(std::string(key) + "_desc");
    return std::make_unique<T>(GetConstantValue(key), desc);
}

}  // namespace

TOperationImage LoadJpegFile(const std::string& fileName) {
    const std::string data = ReadWholeFile(fileName);
    std::unique_ptr<void, TjCloser> decoder(tjInitDecompress());
    if (!decoder) throw EFileError("Cannot decode picture \"" + fileName + "\"");
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    auto* bytes = reinterpret_cast<unsigned char*>(const_cast<char*>(data.data()));
    if (tjDecompressHeader3(decoder.get(), bytes, static_cast<unsigned long>(data.size()), &width, &height,
                            &subsampling, &colorspace) != 0 ||
        width <= 0 || height <= 0)
        throw EFileError("Cannot decode picture \"" + fileName + "\". " + tjGetErrorStr2(decoder.get()));
    TOperationImage image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    if (tjDecompress2(decoder.get(), bytes, static_cast<unsigned long>(data.size()), image.rgb.data(), width, 0,
                      height, TJPF_RGB, TJFLAG_ACCURATEDCT) != 0)
        throw EFileError("Cannot decode picture \"" + fileName + "\". " + tjGetErrorStr2(decoder.get()));
    return image;
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

const TOperationImage& GetOperationImage(int index) { return State().images.at(static_cast<size_t>(index)); }

const TOperationImage& GetSelectedOperationImage(int index) {
    return State().images.at(static_cast<size_t>(index) + State().images.size() / 2);
}

int OperationCount() { return static_cast<int>(State().operations.size()); }

}  // namespace tellvane
