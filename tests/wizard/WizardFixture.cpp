#include "WizardFixture.h"

#include <filesystem>

#include "crypto/CryptoAlgorithms.h"
#include "engine/PendingFiles.h"
#include "engine/RunRegistry.h"
#include "engine/WorkerHost.h"
#include "hide/Drives.h"
#include "hide/HiddenConfig.h"
#include "platform/AppFolders.h"
#include "platform/Paths.h"
#include "shred/ShredAlgorithms.h"
#include "wizard/PathClasses.h"

namespace tellvane::test {

void WizardTest::SetUp() {
    SetAppFolder(ExtractFilePath(ExecutablePath()));
    SetDataFolder(data.path().string());
    vol = files.file("vol");
    std::filesystem::create_directories(vol);
    WriteText(data.file("mounts"), "proc /proc proc rw 0 0\n/dev/sdz1 " + vol + " ext4 rw 0 0\n");
    std::filesystem::create_directories(data.path() / "sys" / "sdz");
    WriteText(data.file("sys/sdz/removable"), "0\n");
    SetMountsFileName(data.file("mounts"));
    SetSysBlockFolder(data.file("sys"));
    StartedFromCmdLine = false;
    CreatePendingFiles();
    PendingFiles().clear();
    CreateHiddenConfig();
    CreateAlgorithms();
    CreateShredAlgorithms();
    CreatePathClasses();
    SetWorkerHost(&host);
}

void WizardTest::TearDown() {
    EXPECT_TRUE(ui.PumpUntil([] { return RunningWorkerCount() == 0; }));
    wizard.DestroyCurrentPath();
    SetWorkerHost(nullptr);
    FreePathClasses();
    if (HiddenConfigCreated()) FreeHiddenConfig();
    PendingFiles().clear();
    StartedFromCmdLine = false;
    SetMountsFileName("");
    SetSysBlockFolder("");
}

TTreeNode* WizardTest::Volume() {
    for (const auto& d : window.tree.DrivesInTree())
        if (d->Text == vol) return d.get();
    return nullptr;
}

TTreeNode* WizardTest::Child(TTreeNode* node, const std::string& name) {
    if (!node) return nullptr;
    wizard.TreeNodeExpanding(node);
    for (const auto& c : node->Children)
        if (c->Text == name) return c.get();
    return nullptr;
}

void WizardTest::Check(const std::string& rel) {
    TTreeNode* node = Volume();
    size_t pos = 0;
    while (node && pos < rel.size()) {
        size_t end = rel.find('/', pos);
        if (end == std::string::npos) end = rel.size();
        node = Child(node, rel.substr(pos, end - pos));
        pos = end + 1;
    }
    ASSERT_NE(node, nullptr) << rel;
    ASSERT_EQ(node->StateIndex, nsUnchecked) << rel;
    wizard.TreeNodeClick(node);
}

void WizardTest::AwaitRun() {
    ASSERT_TRUE(ui.PumpUntil([] { return RunningWorkerCount() == 0; }));
}

void WizardTest::WriteTodo(const std::string& lines) { WriteText(data.file("todo"), lines); }

}  // namespace tellvane::test
