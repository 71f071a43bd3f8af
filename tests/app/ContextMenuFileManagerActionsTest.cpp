// The file managers' actions that "/activate" installs and "/deactivate" removes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

#include "app/ContextMenuExtActivator.h"
#include "app/FileManagerActions.h"
#include "app/ShellIntegrationEnv.h"
#include "base/Options.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"

namespace tellvane::test {
namespace {

namespace fs = std::filesystem;

const char* const UserUcaXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<actions>\n"
    "<action>\n"
    "\t<icon>utilities-terminal</icon>\n"
    "\t<name>Open Terminal Here</name>\n"
    "\t<unique-id>1700000000000000-1</unique-id>\n"
    "\t<command>exo-open --working-directory %f --launch TerminalEmulator</command>\n"
    "\t<patterns>*</patterns>\n"
    "\t<directories/>\n"
    "</action>\n"
    "  <action><name>Mine &amp; only mine</name><unique-id>tell-me</unique-id><command>true</command></action>\n"
    "</actions>\n";

class ContextMenuFileManagerActionsTest : public ShellIntegrationTest {
protected:
    std::string share() const { return home + ".local/share/"; }
    std::string config() const { return home + ".config/"; }
    std::string dolphin() const { return share() + "kio/servicemenus/tellvane.desktop"; }
    std::string nautilus() const { return share() + "nautilus/scripts/"; }
    std::string nemo() const { return share() + "nemo/actions/"; }
    std::string caja() const { return config() + "caja/scripts/"; }
    std::string uca() const { return config() + "Thunar/uca.xml"; }
    std::string helper() const { return appFolder + "tellvane-menu-helper"; }

    void Activate(bool cascade) {
        TOptions().SetOption("CascadeContextMenu", cascade);
        ActivateContextMenuExt();
    }

    // Every file below the home folder with its content (links as "-> target").
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(home)) {
            const std::string p = e.path().string();
            if (p.find("/Brevikon/") != std::string::npos) continue;  // the data folder
            if (e.is_symlink()) files[p] = "-> " + fs::read_symlink(e.path()).string();
            else if (e.is_regular_file()) files[p] = ReadText(p);
            else files[p] = "<dir>";
        }
        return files;
    }

    static void Put(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        WriteText(path, text);
    }

    // Runs an installed script as the file manager does: with the selection as arguments.
    std::string RunScript(const std::string& script, const std::vector<std::string>& args) {
        const std::string out = tmp.file("helper-args.txt");
        std::remove(out.c_str());
        pid_t pid = fork();
        if (pid == 0) {
            std::vector<char*> argv{const_cast<char*>(script.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(script.c_str(), argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << script;
        return FileExists(out) ? ReadText(out) : std::string();
    }

    // A stand-in helper that writes its arguments, one per line, beside the test's files.
    void InstallStandInHelper() {
        Put(helper(), "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                tmp.file("helper-args.txt") + "'\n");
        fs::permissions(helper(), fs::perms::owner_all);
    }
};

TEST_F(ContextMenuFileManagerActionsTest, FlatLayoutPutsTheFourActionsIntoEveryFileManager) {
    Activate(false);

    const std::string menu = ReadText(dolphin());
    EXPECT_EQ(Mode(dolphin()) & 0111, 0111u) << "KDE runs only executable service menus";
    EXPECT_NE(menu.find("MimeType=all/all;\n"), std::string::npos);
    EXPECT_NE(menu.find("Actions=tellvane-encrypt;tellvane-decrypt;tellvane-shred;tellvane-hide;\n"), std::string::npos);
    EXPECT_EQ(menu.find("X-KDE-Submenu"), std::string::npos);
    EXPECT_NE(menu.find("[Desktop Action tellvane-shred]\nName=Shred with Tellvane\nIcon=org.tellvane.Tellvane\nExec=/bin/sh -c " +
                        DesktopExecQuote(MissingProgramGuard()) + " \"" + helper() + "\" /shred %F\n"),
              std::string::npos)
        << menu;

    for (const std::string& folder : {nautilus(), caja()}) {
        for (const char* name : {"Encrypt with Tellvane", "Decrypt with Tellvane", "Shred with Tellvane",
                                 "Hide with Tellvane"}) {
            EXPECT_TRUE(FileExists(folder + name)) << folder << name;
            EXPECT_EQ(Mode(folder + name) & 0111, 0111u) << folder << name;
        }
        EXPECT_FALSE(Exists(folder + "Tellvane"));
    }
    for (const char* id : {"encrypt", "decrypt", "shred", "hide"}) {
        const std::string action = ReadText(nemo() + "tellvane-" + id + ".nemo_action");
        EXPECT_NE(action.find("Exec=/bin/sh -c " + DesktopExecQuote(MissingProgramGuard()) + " \"" + helper() + "\" /" +
                              id + " %F\n"),
                  std::string::npos)
            << action;
        EXPECT_NE(action.find("Quote=double\n"), std::string::npos);
        EXPECT_NE(action.find("Selection=notnone\n"), std::string::npos);
    }
    const std::string xml = ReadText(uca());
    EXPECT_EQ(xml.rfind("<?xml", 0), 0u);
    for (const char* id : {"encrypt", "decrypt", "shred", "hide"})
        EXPECT_NE(xml.find(std::string("<unique-id>tellvane-") + id + "</unique-id>"), std::string::npos) << id;
    EXPECT_NE(xml.find("<command>/bin/sh -c " + XmlEscape(ShellQuote(MissingProgramGuard())) + " '" + helper() +
                       "' /hide %F</command>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<name>Decrypt with Tellvane</name>\n\t<submenu></submenu>"), std::string::npos);
    EXPECT_EQ(xml.find("<submenu>Tellvane</submenu>"), std::string::npos);
}

TEST_F(ContextMenuFileManagerActionsTest, CascadeLayoutPutsThemIntoASubmenu) {
    Activate(true);

    const std::string menu = ReadText(dolphin());
    EXPECT_NE(menu.find("X-KDE-Submenu=Tellvane\n"), std::string::npos);
    EXPECT_NE(menu.find("[Desktop Action tellvane-encrypt]\nName=Encrypt\n"), std::string::npos) << menu;
    for (const std::string& folder : {nautilus(), caja()}) {
        for (const char* name : {"Encrypt", "Decrypt", "Shred", "Hide"})
            EXPECT_TRUE(FileExists(folder + "Tellvane/" + name)) << folder << name;
        EXPECT_FALSE(Exists(folder + "Encrypt with Tellvane"));
    }
    const std::string xml = ReadText(uca());
    EXPECT_NE(xml.find("<name>Hide</name>\n\t<submenu>Tellvane</submenu>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("<submenu></submenu>"), std::string::npos);

    // Switching back takes the submenu away with everything in it.
    Activate(false);
    EXPECT_FALSE(Exists(nautilus() + "Tellvane"));
    EXPECT_FALSE(Exists(caja() + "Tellvane"));
    EXPECT_TRUE(FileExists(nautilus() + "Hide with Tellvane"));
    EXPECT_EQ(ReadText(uca()).find("<submenu>Tellvane</submenu>"), std::string::npos);
    EXPECT_EQ(ReadText(dolphin()).find("X-KDE-Submenu"), std::string::npos);
}

TEST_F(ContextMenuFileManagerActionsTest, ScriptsHandTheSelectionToTheHelperUnchanged) {
    InstallStandInHelper();
    for (bool cascade : {false, true}) {
        Activate(cascade);
        const std::string script = cascade ? caja() + "Tellvane/Encrypt" : nautilus() + "Encrypt with Tellvane";
        const std::vector<std::string> selection = {"/data/with blank/a b.txt", "it's \"quoted\" $HOME `x`", "-n"};
        EXPECT_EQ(RunScript(script, selection), "/encrypt\n/data/with blank/a b.txt\nit's \"quoted\" $HOME `x`\n-n\n");
    }
}

// The actions outlast the package: with the helper gone, an action tells the user and ends with
// status 0, through notify-send when there is one, else on standard error.
TEST_F(ContextMenuFileManagerActionsTest, ActionWhoseProgramIsGoneSaysSoAndSucceeds) {
    Activate(false);
    ASSERT_FALSE(Exists(helper()));
    const std::string bin = tmp.file("bin");
    fs::create_directories(bin);
    const std::string script = nautilus() + "Shred with Tellvane";
    auto run = [&] {
        FILE* pipe = popen(("PATH=" + ShellQuote(bin) + " " + ShellQuote(script) + " a.txt 2>&1; echo \"status=$?\"").c_str(), "r");
        std::string out;
        char buffer[256];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
        return out;
    };
    const std::string message = GetConstantValue("Program_not_installed");
    EXPECT_EQ(run(), message + "\nstatus=0\n");
    Put(bin + "/notify-send", "#!/bin/sh\nprintf '%s|' \"$@\" > '" + tmp.file("notified") + "'\n");
    fs::permissions(bin + "/notify-send", fs::perms::owner_all);
    EXPECT_EQ(run(), "status=0\n");
    EXPECT_EQ(ReadText(tmp.file("notified")), "Tellvane|" + message + "|");
}

TEST_F(ContextMenuFileManagerActionsTest, DeactivateRemovesOnlyWhatWeInstalled) {
    // Other people's files, some in the very places we use.
    Put(nautilus() + "My script", "#!/bin/sh\necho mine\n");
    Put(caja() + "Encrypt with Tellvane", "#!/bin/sh\n# the user's own script of that name\n");
    fs::create_directories(nautilus() + "Tellvane");
    Put(nautilus() + "Tellvane/Mine", "#!/bin/sh\n");
    Put(share() + "kio/servicemenus/other.desktop", "[Desktop Entry]\nType=Service\n");
    Put(nemo() + "other.nemo_action", "[Nemo Action]\nName=Other\n");
    Put(nemo() + "tellvane-hide.nemo_action.bak", "kept\n");
    Put(uca(), UserUcaXml);
    WriteText(tmp.file("target"), "not ours");
    fs::create_symlink(tmp.file("target"), nautilus() + "Hide with Tellvane");
    const auto before = Snapshot();

    for (bool cascade : {true, false}) {
        Activate(cascade);
        // A foreign file in our place is neither replaced nor followed.
        EXPECT_EQ(ReadText(caja() + "Encrypt with Tellvane"), before.at(caja() + "Encrypt with Tellvane"));
        EXPECT_TRUE(fs::is_symlink(nautilus() + "Hide with Tellvane"));
        EXPECT_EQ(ReadText(tmp.file("target")), "not ours");
        // The user's own Thunar actions keep every byte.
        const std::string xml = ReadText(uca());
        EXPECT_NE(xml.find(std::string(UserUcaXml).substr(0, std::string(UserUcaXml).rfind("</actions>"))),
                  std::string::npos);
        EXPECT_NE(xml.find("<unique-id>tellvane-encrypt</unique-id>"), std::string::npos);

        DeactivateContextMenuExt();
        EXPECT_EQ(Snapshot(), before) << "cascade " << cascade;
    }
    EXPECT_EQ(ReadText(uca()), UserUcaXml);
}

TEST_F(ContextMenuFileManagerActionsTest, DeactivateTakesAwayEveryFileAndEntryOfOurs) {
    Activate(true);
    DeactivateContextMenuExt();
    EXPECT_FALSE(Exists(dolphin()));
    for (const std::string& folder : {nautilus(), caja()}) {
        EXPECT_FALSE(Exists(folder + "Tellvane"));
        EXPECT_TRUE(fs::is_empty(folder)) << folder;
    }
    EXPECT_TRUE(fs::is_empty(nemo()));
    // The uca.xml we created held nothing but our entries: it goes with them.
    EXPECT_FALSE(Exists(uca()));
}

TEST_F(ContextMenuFileManagerActionsTest, ThunarStartsFromTheSystemDefaultWhenTheUserHasNone) {
    Put(tmp.file("xdg") + "/Thunar/uca.xml", UserUcaXml);
    Activate(false);
    const std::string xml = ReadText(uca());
    EXPECT_NE(xml.find("<name>Open Terminal Here</name>"), std::string::npos);
    EXPECT_NE(xml.find("<unique-id>tellvane-shred</unique-id>"), std::string::npos);
    EXPECT_EQ(ReadText(tmp.file("xdg") + "/Thunar/uca.xml"), UserUcaXml);
    // Back to the system's list: Thunar reads that one again, so the copy goes.
    DeactivateContextMenuExt();
    EXPECT_FALSE(Exists(uca()));
}

TEST_F(ContextMenuFileManagerActionsTest, BrokenUcaXmlIsReportedAndLeftAsItIs) {
    const std::string broken = "<?xml version=\"1.0\"?>\n<actions>\n<action><name>cut off";
    Put(uca(), broken);
    try {
        Activate(false);
        FAIL() << "a broken uca.xml was accepted";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(uca()), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadText(uca()), broken);
    // The other file managers are served all the same.
    EXPECT_TRUE(FileExists(dolphin()));
    EXPECT_TRUE(FileExists(caja() + "Shred with Tellvane"));
    DeactivateContextMenuExt();
    EXPECT_EQ(ReadText(uca()), broken);
    EXPECT_FALSE(Exists(dolphin()));
}

// What desktop-file-validate says of PATH, less the lines that contain one of IGNORED.
std::string ValidatorFindings(const std::string& path, std::initializer_list<const char*> ignored) {
    std::string findings;
    FILE* pipe = popen(("desktop-file-validate " + ShellQuote(path) + " 2>&1").c_str(), "r");
    if (!pipe) return "cannot run desktop-file-validate";
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        bool known = false;
        for (const char* text : ignored) known = known || std::strstr(line, text);
        if (!known) findings += line;
    }
    pclose(pipe);
    return findings;
}

TEST_F(ContextMenuFileManagerActionsTest, DesktopFileValidateAcceptsWhatItKnowsOfOurFiles) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    // A folder name with every character the Exec quoting must escape. (Not "%": Nemo takes its
    // Exec line literally apart from its own tokens, where the tool would want "%%".)
    SetAppFolder(tmp.file("a \"b\" $HOME `x` \\ c") + "/");
    for (bool cascade : {false, true}) {
        SCOPED_TRACE(cascade ? "cascade" : "flat");
        Activate(cascade);
        // The tool does not know KDE's service menus, a type of their own, nor KDE's "all/all".
        EXPECT_EQ(ValidatorFindings(dolphin(), {"the type is \"Service\"", "\"all/all\""}), "");
        // Nemo's actions have the same syntax under a group and keys of their own: checked as an
        // application's entry, Nemo's keys aside.
        for (const char* id : {"encrypt", "decrypt", "shred", "hide"}) {
            std::string text = ReadText(nemo() + "tellvane-" + id + ".nemo_action");
            ASSERT_EQ(text.rfind("[Nemo Action]\n", 0), 0u);
            text.replace(0, 13, "[Desktop Entry]\nType=Application");
            Put(tmp.file("nemo.desktop"), text);
            EXPECT_EQ(ValidatorFindings(tmp.file("nemo.desktop"), {"should start with \"X-\"", "key \"Extensions\""}),
                      "")
                << id;
        }
    }
}

TEST_F(ContextMenuFileManagerActionsTest, QuotingKnownAnswers) {
    EXPECT_EQ(ShellQuote("/opt/a b/it's"), "'/opt/a b/it'\\''s'");
    // Exec quoting escapes " ` $ \, and the key file doubles every backslash on top.
    EXPECT_EQ(DesktopExecQuote("/a \"b\"/$c/`d`/e\\f"), "\"/a \\\\\"b\\\\\"/\\\\$c/\\\\`d\\\\`/e\\\\\\\\f\"");
    EXPECT_EQ(XmlEscape("a<b>&\"'"), "a&lt;b&gt;&amp;\"'");
}

TEST_F(ContextMenuFileManagerActionsTest, PercentSignsInTheProgramFolderSurviveFieldCodes) {
    SetAppFolder(tmp.file("100% sure") + "/");
    Activate(false);
    EXPECT_NE(ReadText(dolphin()).find(" \"" + tmp.file("100%% sure") + "/tellvane-menu-helper\" /encrypt %F"),
              std::string::npos);
    EXPECT_NE(ReadText(uca()).find(" '" + tmp.file("100%% sure") + "/tellvane-menu-helper' /encrypt %F"),
              std::string::npos);
}

}  // namespace
}  // namespace tellvane::test
