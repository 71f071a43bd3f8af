#pragma once
// A wizard over the model window, with the data folder in a temporary folder, one fake volume as
// the only drive, the real operation registries and the test thread as the user-interface thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ModelWindow.h"
#include "support/TestSupport.h"
#include "wizard/Wizard.h"
#include "wizard/WizardWorkerHost.h"

namespace tellvane::test {

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The drive node of the fake volume (the tree must have been built).
    TTreeNode* Volume();
    // The child of NODE named NAME (expanding NODE first), or null.
    TTreeNode* Child(TTreeNode* node, const std::string& name);
    // Checks the tree node of the volume-relative path REL ("a/b.txt").
    void Check(const std::string& rel);
    // Serves the worker until the run has ended and its thread is gone.
    void AwaitRun();
    // Writes the selection file the context-menu action would write.
    void WriteTodo(const std::string& lines);

    TempDir data;
    TempDir files;
    std::string vol;  // the fake volume's mount point (a folder inside FILES)
    TModelWindow window;
    TTestUiLoop ui;
    TWizard wizard{window};
    TWizardWorkerHost host{wizard, [this](const std::function<void()>& step) { ui.RunOnUiThread(step); }};
};

}  // namespace tellvane::test
