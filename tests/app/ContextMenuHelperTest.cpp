// The menu helper, run as the file managers run it: "todo" and the program started with the switch.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "app/ShellIntegrationEnv.h"
#include "engine/PendingFiles.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace tellvane::test {
namespace {

namespace fs = std::filesystem;

class ContextMenuHelperTest : public ShellIntegrationTest {
protected:
    void SetUp() override {
        ShellIntegrationTest::SetUp();
        selection = tmp.file("sel dir");
        fs::create_directories(selection);
        // The stand-in program writes its arguments, and where its standard input comes from.
        WriteText(appFolder + "tellvane",
                  "#!/bin/sh\nout=\"$(dirname \"$0\")\"\n"
                  "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; readlink /proc/$$/fd/0; } > \"$out/started.tmp\"\n"
                  "mv \"$out/started.tmp\" \"$out/started.txt\"\n");
        fs::permissions(appFolder + "tellvane", fs::perms::owner_all);
    }

    void SetAppPath(const std::string& folder) {
        TRegistry(dataFolder + "registry.ini").WriteString("HKEY_CURRENT_USER", "Software\\Kalvessa\\Brevikon\\",
                                                           "AppPath", folder);
    }

    // Runs the helper in the selection's folder; its standard error goes to helper.err.
    int RunHelper(const std::vector<std::string>& args) {
        const std::string helper = ExtractFilePath(ExecutablePath()) + "tellvane-menu-helper";
        EXPECT_TRUE(FileExists(helper)) << helper;
        const std::string err = tmp.file("helper.err");
        pid_t pid = fork();
        if (pid == 0) {
            if (chdir(selection.c_str()) != 0) _exit(126);
            int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(helper.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(helper.c_str(), argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The stand-in program's record, once it has run (it runs detached, so it is waited for).
    std::string Started() {
        const std::string file = appFolder + "started.txt";
        for (int i = 0; i < 1000 && !FileExists(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return FileExists(file) ? ReadText(file) : std::string("(not started)");
    }

    std::string selection;
};

TEST_F(ContextMenuHelperTest, WritesTodoAndStartsTheProgramWithTheSwitch) {
    SetAppPath(appFolder);
    // Names reach the program as the bytes they are: a Latin-1 name and one with a line break too.
    EXPECT_EQ(RunHelper({"/shred", "/data/with blank/a.txt", "rel name.txt", "sub/", "Ünïcødé 名.txt",
                         "caf\xE9.txt", "two\nlines"}),
              0);
    EXPECT_EQ(Started(), "/shred\n/dev/null\n");
    EXPECT_EQ(DecodePendingLines(ReadText(dataFolder + "todo"), 1252),
              (std::vector<std::string>{"/data/with blank/a.txt", selection + "/rel name.txt", selection + "/sub",
                                        selection + "/Ünïcødé 名.txt", selection + "/caf\xE9.txt",
                                        selection + "/two\nlines"}));
    EXPECT_EQ(Mode(dataFolder + "todo"), 0600u);
}

TEST_F(ContextMenuHelperTest, EveryOperationSwitchReachesTheProgram) {
    SetAppPath(appFolder.substr(0, appFolder.size() - 1));  // without its trailing "/"
    for (const std::string op : {"/encrypt", "/decrypt", "/hide"}) {
        fs::remove(appFolder + "started.txt");
        EXPECT_EQ(RunHelper({op, "/x"}), 0) << op;
        EXPECT_EQ(Started(), op + "\n/dev/null\n");
    }
}

TEST_F(ContextMenuHelperTest, RefusesAndLosesNothing) {
    const std::string previous = "\xEF\xBB\xBF/earlier/item\r\n";
    WriteText(dataFolder + "todo", previous);

    // No operation, or one the program does not take from the menu.
    EXPECT_EQ(RunHelper({}), 2);
    EXPECT_EQ(RunHelper({"/show", "/x"}), 2);
    EXPECT_EQ(RunHelper({"/Encrypt", "/x"}), 2);
    // The program has never recorded its folder, or that folder holds no program.
    EXPECT_EQ(RunHelper({"/encrypt", "/x"}), 1);
    EXPECT_NE(ReadText(tmp.file("helper.err")).find("AppPath"), std::string::npos);
    SetAppPath(tmp.file("moved away") + "/");
    EXPECT_EQ(RunHelper({"/encrypt", "/x"}), 1);
    // Nothing to hand over.
    SetAppPath(appFolder);
    EXPECT_EQ(RunHelper({"/encrypt", ""}), 1);

    EXPECT_EQ(ReadText(dataFolder + "todo"), previous);
    EXPECT_FALSE(FileExists(appFolder + "started.txt"));
}

}  // namespace
}  // namespace tellvane::test
