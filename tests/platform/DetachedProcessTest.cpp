// Starting a program detached: it runs on its own, and a failure to start is reported.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/DetachedProcess.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane::test {
namespace {

namespace fs = std::filesystem;

std::string WaitForFile(const std::string& file) {
    for (int i = 0; i < 1000 && !FileExists(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return FileExists(file) ? ReadText(file) : std::string("(not run)");
}

TEST(DetachedProcessTest, RunsTheProgramWithItsArgumentsAsNoChildOfOurs) {
    TempDir tmp;
    const std::string program = tmp.file("a program");
    WriteText(program, "#!/bin/sh\n{ printf '%s|' \"$@\"; echo; echo $PPID; } > \"$0.tmp\"; mv \"$0.tmp\" \"$0.out\"\n");
    fs::permissions(program, fs::perms::owner_all);

    StartDetached(program, {"/activate", "two words", ""});
    const std::string out = WaitForFile(program + ".out");
    EXPECT_EQ(out.substr(0, out.find('\n')), "/activate|two words||");
    EXPECT_NE(std::stol(out.substr(out.find('\n') + 1)), static_cast<long>(getpid()));
    // The intermediate process has been reaped: no child of ours is left behind.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(DetachedProcessTest, AProgramThatCannotRunIsReported) {
    TempDir tmp;
    try {
        StartDetached(tmp.file("missing"), {});
        FAIL() << "a missing program was started";
    } catch (const EStartProcessError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot start \"" + tmp.file("missing") + "\". Error 2: ", 0), 0u)
            << e.what();
    }
    WriteText(tmp.file("plain"), "not a program");
    fs::permissions(tmp.file("plain"), fs::perms::owner_read | fs::perms::owner_write);
    try {
        StartDetached(tmp.file("plain"), {"/deactivate"});
        FAIL() << "a file without execute permission was started";
    } catch (const EStartProcessError& e) {
        EXPECT_NE(std::string(e.what()).find("Error 13: "), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tellvane::test
