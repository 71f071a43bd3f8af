#pragma once
// The shred path: files or folders on the tree page, then the wiping method; Next starts the run.
#include <memory>
#include <string>

#include "wizard/OperationPaths.h"
#include "wizard/PathClasses.h"

namespace tellvane {

class TShredPath : public TOperationPath {
public:
    explicit TShredPath(TWizard& owner);
    std::string GetCmdLineParameter() const override { return CmdLineParameter(); }
    static std::string CmdLineParameter() { return "/shred"; }
    static void ActivateOnCmdLine(TWizard& wizard);
    static const TPathClass& Class();
};

class TShredChooseFiles : public TOperationStep {
public:
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

class TShredSettings : public TOperationStep {
public:
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

}  // namespace tellvane
