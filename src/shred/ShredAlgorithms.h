#pragma once
// The eleven wiping methods, their pass driver and registry.
#include <memory>
#include <string>
#include <vector>

#include "engine/OperationCallbacks.h"

namespace tellvane {

class TShredAlgorithm {
public:
    virtual ~TShredAlgorithm() = default;
    // Overwrites FILENAME pass after pass, then deletes it.
    virtual void Shred(const std::string& fileName, const THaltOperationCallback& onHalt,
                       const TProgressOperationCallback& onProgress) = 0;
    // The method's description from "shreds" + LanguageID + ".ini" (empty when missing).
    std::string GetDesc() const;
};

void CreateShredAlgorithms();
void FreeShredAlgorithms();
std::vector<std::unique_ptr<TShredAlgorithm>>& ShredAlgorithmList();

}  // namespace tellvane
