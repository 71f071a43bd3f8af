// The start-up and shutdown sequence on a first start in a fresh home folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/ContextMenuExtActivator.h"
#include "app/InitFinal.h"
#include "base/Logger.h"
#include "base/Options.h"
#include "crypto/CryptoAlgorithms.h"
#include "engine/Operations.h"
#include "engine/PendingFiles.h"
#include "hide/HiddenConfig.h"
#include "l10n/TextConstants.h"
#include "platform/AppFolders.h"
#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "shred/ShredAlgorithms.h"
#include "support/TestSupport.h"
#include "wizard/PathClasses.h"

namespace tellvane {
namespace {

using test::TempDir;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
        SetCommandLine({"tellvane"});
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    std::string DataFolder() const { return home.path().string() + "/Brevikon/"; }
    TempDir home;
};

TEST_F(Startup, FirstStartBuildsEverythingAndShutdownSavesTheStore) {
    InitializeApplication();
    // Folders first: the private data folder under the user's configuration folder.
    EXPECT_EQ(GetDataFolder(), DataFolder());
    struct stat st {};
    ASSERT_EQ(stat(DataFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The program's folder is left for outside components.
    TRegistry registry(DataFolder() + "registry.ini");
    EXPECT_EQ(registry.ReadString(RegistryRootKey, AppRegistryKey, "AppPath").value_or(""), GetAppFolder());
    // No options.ini: English.
    EXPECT_EQ(LangManager().LanguageID(), 1033);
    // Every registry is built, in the user interface's order.
    EXPECT_EQ(PathClasses().size(), 4u);
    EXPECT_NE(FindPathClass("/encrypt"), nullptr);
    EXPECT_EQ(OperationCount(), 5);
    EXPECT_EQ(AlgorithmList().size(), 20u);
    EXPECT_EQ(ShredAlgorithmList().size(), 11u);
    EXPECT_TRUE(PendingFiles().empty());
    EXPECT_FALSE(TerminationRequested());

    HiddenItemsStore().Password = "main";
    FinalizeApplication();
    EXPECT_EQ(OperationCount(), 0);
    EXPECT_TRUE(PathClasses().empty());
    EXPECT_TRUE(AlgorithmList().empty());
    EXPECT_TRUE(ShredAlgorithmList().empty());
    // The store was saved on the way out.
    const std::string base = test::ReadText(DataFolder() + "base.dat");
    EXPECT_NE(base.find("main"), std::string::npos);
}

TEST_F(Startup, AppPathIsRewrittenAtEveryStartAndLanguageComesFromOptions) {
    SetDataFolder(DataFolder());
    TRegistry(DataFolder() + "registry.ini").WriteString(RegistryRootKey, AppRegistryKey, "AppPath", "/old/place/");
    TOptions(DataFolder() + "options.ini").SetOption("LanguageID", "0x407");
    InitializeApplication();
    TRegistry registry(DataFolder() + "registry.ini");
    EXPECT_EQ(registry.ReadString(RegistryRootKey, AppRegistryKey, "AppPath").value_or(""), GetAppFolder());
    // 0x407 is German: the file shipped beside the program is found and applied, while the
    // description files are named by the text as stored (none ships under that name).
    EXPECT_EQ(LangManager().LanguageID(), 1031);
    EXPECT_EQ(AlgorithmDescriptionsFile(), GetAppFolder() + "cryptos0x407.ini");
    EXPECT_EQ(ShredAlgorithmList().at(0)->GetDesc(), "");
    EXPECT_EQ(GetConstantValue("Cancel"), "&Abbrechen");
    EXPECT_EQ(GetOperation(0).Title, "Verschl\xC3\xBCsseln");
    FinalizeApplication();
    LangManager().SetLanguageID(1033);
}

TEST_F(Startup, ActivateSwitchRegistersAndAsksTheProgramToEnd) {
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
    SetCommandLine({"tellvane", "-debug", "/activate"});
    InitializeApplication();
    EXPECT_TRUE(TerminationRequested());
    TRegistry registry(DataFolder() + "registry.ini");
    for (const auto& entry : ContextMenuExtEntries(GetAppFolder()))
        EXPECT_EQ(registry.ReadString(entry.root, entry.key, entry.name).value_or("<none>"), entry.data) << entry.key;
    // The short run still goes down through the shutdown, which saves the store.
    FinalizeApplication();
    EXPECT_TRUE(FileExists(DataFolder() + "base.dat"));
    // "-debug" turned the log on for that run, named after the program in the data folder.
    EXPECT_TRUE(LogEnabled());
    EXPECT_EQ(LogFileName().rfind(DataFolder(), 0), 0u);
    SetLogEnabled(false);
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tellvane
