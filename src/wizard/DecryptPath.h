#pragma once
// The decrypt path: .enc files (or folders holding them) on the tree page, whose tree lists only
// .enc files, then the password and the deletion of the sources; Next starts the run.
#include <memory>
#include <string>

#include "wizard/OperationPaths.h"
#include "wizard/PathClasses.h"

namespace tellvane {

class TDecryptPath : public TOperationPath {
public:
    // Switches the tree's .enc filter on.
    explicit TDecryptPath(TWizard& owner);
    // Switches the .enc filter off, then the path's ordinary end.
    ~TDecryptPath() override;
    std::string GetCmdLineParameter() const override { return CmdLineParameter(); }
    static std::string CmdLineParameter() { return "/decrypt"; }
    static void ActivateOnCmdLine(TWizard& wizard);
    static const TPathClass& Class();
};

class TDecryptChooseFiles : public TOperationStep {
public:
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

class TDecryptSettings : public TOperationStep {
public:
    void GoNext(TWizard& wizard) override;
    void GoBack(TWizard& wizard) override;
};

}  // namespace tellvane
