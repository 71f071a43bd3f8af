#pragma once
// The encrypt path: the files on the tree page, then the cipher, the password and the deletion of
// the sources on the encryption page, whose Next starts the run.
#include <memory>
#include <string>

#include "wizard/OperationPaths.h"
#include "wizard/PathClasses.h"

namespace tellvane {

class TEncryptPath : public TOperationPath {
public:
    explicit TEncryptPath(TWizard& owner);
    std::string GetCmdLineParameter() const override { return CmdLineParameter(); }
    static std::string CmdLineParameter() { return "/encrypt"; }
    // "/encrypt": the encryption page at once, Back hidden for good, the selection file's entries
    // as the items.
    static void ActivateOnCmdLine(TWizard& wizard);
    static const TPathClass& Class();
};

class TEncryptChooseFiles : public TOperationStep {
public:
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

class TEncryptSettings : public TOperationStep {
public:
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

}  // namespace tellvane
