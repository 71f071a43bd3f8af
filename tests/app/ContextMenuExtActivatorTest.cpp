// The "/activate" and "/deactivate" instance: the extension's entries in the registry stand-in.
#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>

#include "app/ContextMenuExtActivator.h"
#include "app/ShellIntegrationEnv.h"
#include "platform/CommandLine.h"
#include "platform/Registry.h"

namespace tellvane::test {
namespace {

struct Expected {
    std::string root, key, name, data;
};

class ContextMenuExtActivatorTest : public ShellIntegrationTest {
protected:
    std::string clsid = ContextMenuExtClassID;
    std::string registryFile() const { return dataFolder + "registry.ini"; }

    // The seven entries, in the order they must be written, for the program in appFolder.
    std::vector<Expected> Table() const {
        const std::string library = appFolder + "ZANTH_CONTEXT_MENU.dll";
        return {
            {"HKEY_CLASSES_ROOT", "CLSID\\" + clsid + "\\InprocServer32", "", library},
            {"HKEY_CLASSES_ROOT", "CLSID\\" + clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
            {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\" + clsid + "\\InprocServer32", "", library},
            {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\" + clsid + "\\InprocServer32", "ThreadingModel",
             "Apartment"},
            {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", clsid,
             "Tellvane Context Menu Shell Extension"},
            {"HKEY_CLASSES_ROOT", "*\\shellex\\ContextMenuHandlers\\ZANTH_CNTX_MENU", "", clsid},
            {"HKEY_CLASSES_ROOT", "Folder\\shellex\\ContextMenuHandlers\\ZANTH_CNTX_MENU", "", clsid},
        };
    }

    void ExpectRegistered() {
        TRegistry reg(registryFile());
        for (const auto& e : Table()) {
            auto value = reg.ReadString(e.root, e.key, e.name);
            ASSERT_TRUE(value.has_value()) << e.root << "\\" << e.key << " " << e.name;
            EXPECT_EQ(*value, e.data) << e.root << "\\" << e.key << " " << e.name;
        }
    }
    void ExpectNothingRegistered() {
        TRegistry reg(registryFile());
        for (const auto& e : Table()) {
            EXPECT_FALSE(reg.ReadString(e.root, e.key, e.name).has_value()) << e.root << "\\" << e.key << " " << e.name;
            if (!e.name.empty() && e.name != "ThreadingModel") continue;  // the Approved key itself stays
            EXPECT_FALSE(reg.KeyExists(e.root, e.key)) << e.root << "\\" << e.key;
        }
        EXPECT_FALSE(reg.KeyExists("HKEY_CLASSES_ROOT", "CLSID\\" + clsid));
        EXPECT_FALSE(reg.KeyExists("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\" + clsid));
    }
    bool Run(std::vector<std::string> args) {
        args.insert(args.begin(), appFolder + "tellvane");
        SetCommandLine(args);
        return ProcessShellExtSwitches();
    }
};

TEST_F(ContextMenuExtActivatorTest, ActivateWritesTheSevenEntriesInOrder) {
    EXPECT_TRUE(std::regex_match(clsid, std::regex(R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\})")));
    EXPECT_TRUE(Run({"/activate"}));
    ExpectRegistered();

    // The stand-in keeps keys and values in the order they were first written.
    const std::string text = ReadText(registryFile());
    size_t last = 0;
    bool first = true;
    std::string lastKey;
    for (const auto& e : Table()) {
        const std::string section = "[" + e.root + "\\" + e.key + "]";
        if (section == lastKey) continue;
        const size_t at = text.find(section);
        ASSERT_NE(at, std::string::npos) << section;
        if (!first) {
            EXPECT_GT(at, last) << section << " comes out of order";
        }
        first = false;
        last = at;
        lastKey = section;
    }
    const size_t server = text.find("[HKEY_CLASSES_ROOT\\CLSID\\" + clsid + "\\InprocServer32]");
    EXPECT_LT(text.find("@=", server), text.find("ThreadingModel=", server));

    // The library path keeps its blanks and gets no quotes.
    EXPECT_NE(text.find("\n@=s:" + appFolder + "ZANTH_CONTEXT_MENU.dll\n"), std::string::npos) << text;
    EXPECT_NE(appFolder.find(' '), std::string::npos);
}

TEST_F(ContextMenuExtActivatorTest, ActivatingTwiceRewritesTheSameValues) {
    EXPECT_TRUE(Run({"/activate"}));
    const std::string once = ReadText(registryFile());
    EXPECT_TRUE(Run({"/activate", "/activate"}));
    EXPECT_EQ(ReadText(registryFile()), once);
}

TEST_F(ContextMenuExtActivatorTest, DeactivateRemovesEveryEntryAndNothingElse) {
    TRegistry reg(registryFile());
    // Entries of others under the same keys, and the program's own AppPath.
    const std::string other = "{00000000-1111-2222-3333-444444444444}";
    reg.WriteString("HKEY_CURRENT_USER", "Software\\Kalvessa\\Brevikon\\", "AppPath", appFolder);
    reg.WriteString("HKEY_CLASSES_ROOT", "CLSID\\" + other + "\\InprocServer32", "", "/usr/lib/other.so");
    reg.WriteString("HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
                    other, "Other");
    reg.WriteString("HKEY_CLASSES_ROOT", "*\\shellex\\ContextMenuHandlers\\OTHER", "", other);

    EXPECT_TRUE(Run({"/activate"}));
    ExpectRegistered();
    EXPECT_TRUE(Run({"/deactivate"}));
    ExpectNothingRegistered();

    EXPECT_EQ(reg.ReadString("HKEY_CURRENT_USER", "Software\\Kalvessa\\Brevikon", "AppPath"), appFolder);
    EXPECT_EQ(reg.ReadString("HKEY_CLASSES_ROOT", "CLSID\\" + other + "\\InprocServer32", ""), "/usr/lib/other.so");
    EXPECT_EQ(reg.ReadString("HKEY_LOCAL_MACHINE",
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", other),
              "Other");
    EXPECT_EQ(reg.ReadString("HKEY_CLASSES_ROOT", "*\\shellex\\ContextMenuHandlers\\OTHER", ""), other);

    // Unregistering again finds nothing to delete and is no error.
    EXPECT_TRUE(Run({"/deactivate"}));
    ExpectNothingRegistered();
}

TEST_F(ContextMenuExtActivatorTest, BothSwitchesRunInArgumentOrder) {
    EXPECT_TRUE(Run({"/activate", "/deactivate"}));
    ExpectNothingRegistered();
    EXPECT_TRUE(Run({"-debug", "/deactivate", "x", "/activate"}));
    ExpectRegistered();
}

TEST_F(ContextMenuExtActivatorTest, OnlyTheExactSwitchesAct) {
    EXPECT_FALSE(Run({"/Activate", "/DEACTIVATE", "activate", "-activate", "/activate ", "/encrypt"}));
    EXPECT_FALSE(Exists(registryFile()));
    EXPECT_FALSE(Exists(home + ".local/share/kio/servicemenus/tellvane.desktop"));
    // The switches are looked for from argument 1 on: the program's own name is not one.
    SetCommandLine(std::vector<std::string>{"/activate"});
    EXPECT_FALSE(ProcessShellExtSwitches());
    EXPECT_FALSE(Exists(registryFile()));
}

TEST_F(ContextMenuExtActivatorTest, ReadOnlyStandInGivesTheErrorTextsAndIsLeftAsItWas) {
    TRegistry(registryFile()).WriteString("HKEY_CURRENT_USER", "Software\\Kalvessa\\Brevikon", "AppPath", appFolder);
    const std::string before = ReadText(registryFile());
    ASSERT_EQ(chmod(registryFile().c_str(), 0444), 0);

    SetCommandLine(std::vector<std::string>{appFolder + "tellvane", "/activate"});
    try {
        ProcessShellExtSwitches();
        FAIL() << "activating into a read-only stand-in succeeded";
    } catch (const ERegistryError& e) {
        // The first entry is the default value, whose name is empty.
        EXPECT_STREQ(e.what(), "Failed to set data for ''");
    }
    SetCommandLine(std::vector<std::string>{appFolder + "tellvane", "/deactivate"});
    try {
        ProcessShellExtSwitches();
        FAIL() << "deactivating in a read-only stand-in succeeded";
    } catch (const ERegistryError& e) {
        EXPECT_STREQ(e.what(), "Unable to open key \"HKEY_CLASSES_ROOT\\CLSID\" for write");
    }
    EXPECT_EQ(ReadText(registryFile()), before);
    EXPECT_EQ(Mode(registryFile()), 0444u);
    // Nothing reached the file managers either.
    EXPECT_FALSE(Exists(home + ".local/share/kio/servicemenus/tellvane.desktop"));
}

TEST_F(ContextMenuExtActivatorTest, StandInThatCannotBeCreatedGivesTheErrorText) {
    // The data folder lies below a plain file: neither it nor the stand-in can ever be made.
    WriteText(tmp.file("plain"), "x");
    SetDataFolder(tmp.file("plain") + "/Brevikon");
    SetCommandLine(std::vector<std::string>{appFolder + "tellvane", "/activate"});
    try {
        ProcessShellExtSwitches();
        FAIL() << "activating succeeded without a stand-in";
    } catch (const ERegistryError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for ''");
    }
}

}  // namespace
}  // namespace tellvane::test
