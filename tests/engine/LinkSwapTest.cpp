// A folder inside the tree swapped for a link to a folder outside it, at the worst moments: when
// the run starts work on a file, and between opening it and removing it (or changing its mode).
// Nothing outside the tree may be read, written, chmod'ed or deleted; a file reached through the
// link is reported as a link, and the run goes on with the others.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "crypto/CryptoAlgorithms.h"
#include "engine/CipherRunFixture.h"
#include "engine/FilesIterationThread.h"
#include "engine/Operations.h"
#include "engine/WorkerTestHost.h"
#include "hide/HiddenConfig.h"
#include "hide/HideShowRoutines.h"
#include "hide/HideTestSupport.h"
#include "platform/FileSystem.h"
#include "shred/ShredAlgorithms.h"
#include "shred/ShredMethods.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

namespace fs = std::filesystem;

// Names, contents and modes of a folder's entries: what "unchanged" means here.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> result;
    for (const auto& e : fs::directory_iterator(folder)) {
        struct stat st {};
        lstat(e.path().c_str(), &st);
        result[e.path().filename().string()] = std::to_string(st.st_mode & 07777) + ":" + test::ReadText(e.path().string());
    }
    return result;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class LinkSwapTest : public test::CipherRunFixture {
protected:
    void TearDown() override {
        SetFileCallHook({});
        SetBeforeModeChangeHook({});
        CipherRunFixture::TearDown();
    }

public:
    // Runs OP through the worker over PATHS; the files reported as not done.
    std::vector<std::string> Run(TOperation& op, std::vector<std::string> paths, TItemsSet items) {
        test::WorkerTestHost host;
        PendingFiles() = std::move(paths);
        auto worker = StartOperation(op, std::move(items));
        EXPECT_TRUE(host.ServeUntilDone());
        EXPECT_TRUE(host.errors.empty()) << host.errors.front();
        std::vector<std::string> missed;
        for (const auto& f : worker->NotCompletedFiles()) missed.push_back(f.fileName + " | " + f.reason);
        return missed;
    }
};

TEST_F(LinkSwapTest, AFolderSwappedForALinkNeverLeadsOutsideTheTree) {
    TShredAlgorithm zero(FindShredMethod("TZeroPass"));
    enum TMoment { BeforeOpen, BeforeRemoval };
    struct Case {
        const char* operation;
        std::string target;  // the name in sub/ whose handling triggers the swap
        std::function<std::vector<std::string>(LinkSwapTest&, const std::string& tree)> run;
        std::vector<std::string> movedAfterRemovalSwap;  // sub/ (moved away) after a swap before removal
        std::vector<std::string> otherAfterRun;
        // Which "open" of the target swaps. A hide resolves the folder it was given once (a link
        // there is the user's choice) and works through it: the swap comes after that.
        int openCall = 1;
    };
    auto encrypt = [](const std::string& file) {
        TEncrypt enc;
        enc.Algo = FindAlgorithmBySign("BFS");
        enc.Password = "pw";
        enc.DeleteSourceFiles = true;
        enc.Work(file);
    };
    const Case cases[] = {
        {"shred", "f",
         [&](LinkSwapTest& t, const std::string& tree) {
             TShred shred;
             shred.Algo = &zero;
             return t.Run(shred, {tree}, {TItemType::itFile});
         },
         {}, {}},
        {"encrypt", "f",
         [](LinkSwapTest& t, const std::string& tree) {
             TEncrypt enc;
             enc.Algo = FindAlgorithmBySign("BFS");
             enc.Password = "pw";
             enc.DeleteSourceFiles = true;
             return t.Run(enc, {tree}, {TItemType::itFile});
         },
         {"f.enc"}, {"g.enc"}},
        {"decrypt", "f.enc",
         [](LinkSwapTest& t, const std::string& tree) {
             TDecrypt dec;
             dec.Password = "pw";
             dec.DeleteSourceFiles = true;
             return t.Run(dec, {tree}, {TItemType::itFile});
         },
         {"f"}, {"g"}},
        {"hide", "f",
         [](LinkSwapTest& t, const std::string& tree) {
             THide hide;
             return t.Run(hide, {tree + "/sub/f", tree + "/other/g"},
                          {TItemType::itFile, TItemType::itFolder, TItemType::itDrive});
         },
         {".hidden", "f"}, {".hidden", "g"}, 2},
        {"show", "f",
         [](LinkSwapTest&, const std::string&) {
             // Shown as the console does, highest index first; what was not shown is reported.
             TShow show;
             std::vector<std::string> missed;
             for (int i = HiddenItemsStore().Count(); i-- > 0;) {
                 show.ItemToShowIndex = i;
                 const std::string path = HiddenItemsStore().GetItem(i).FilePath;
                 try {
                     show.Work(path);
                 } catch (const EFileSkipped& e) {
                     missed.push_back(path + " | " + e.what());
                 }
             }
             return missed;
         },
         {"f"}, {"g"}},
    };
    for (const Case& c : cases) {
        for (const TMoment moment : {BeforeOpen, BeforeRemoval}) {
            SCOPED_TRACE(std::string(c.operation) + (moment == BeforeOpen ? " before open" : " before removal"));
            test::StoreInTempDir store;
            test::TempDir work;
            const fs::path tree = work.path() / "tree", outside = work.path() / "outside";
            for (const auto& f : {tree / "sub", tree / "other", outside}) fs::create_directories(f);
            test::WriteText((tree / "sub" / "f").string(), "inside");
            test::WriteText((tree / "other" / "g").string(), "other");
            test::WriteText((outside / "f").string(), "victim");
            chmod((outside / "f").c_str(), 0644);
            if (std::string(c.operation) == "decrypt") {
                // The link leads to an .enc file the same pass phrase opens.
                for (const auto& f : {tree / "sub" / "f", tree / "other" / "g", outside / "f"}) encrypt(f.string());
            }
            if (std::string(c.operation) == "show") {
                THide hide;
                hide.Work((tree / "sub" / "f").string());
                hide.Work((tree / "other" / "g").string());
                ASSERT_EQ(HiddenItemsStore().Count(), 2);
            }
            const auto outsideBefore = Snapshot(outside);
            const auto subBefore = Snapshot(tree / "sub");
            const std::string target = (tree / "sub" / c.target).string();
            bool swapped = false;
            int opens = 0;
            auto swap = [&](const std::string& path) {
                if (swapped || path != target) return;
                swapped = true;
                fs::rename(tree / "sub", tree / "sub.moved");
                fs::create_directory_symlink(outside, tree / "sub");
            };
            const bool modeChange = std::string(c.operation) == "hide" || std::string(c.operation) == "show";
            SetFileCallHook([&](const std::string& call, const std::string& path) {
                if (moment == BeforeOpen && call == "open" && path == target && ++opens == c.openCall) swap(path);
                if (moment == BeforeRemoval && call == "unlink") swap(path);
                return 0;
            });
            if (moment == BeforeRemoval && modeChange) SetBeforeModeChangeHook(swap);

            const std::vector<std::string> missed = c.run(*this, tree.string());
            SetFileCallHook({});
            SetBeforeModeChangeHook({});

            EXPECT_TRUE(swapped);
            EXPECT_EQ(Snapshot(outside), outsideBefore);
            EXPECT_EQ(Names(tree / "other"), c.otherAfterRun);
            if (moment == BeforeOpen) {
                // Reached through the link: reported as one, and nothing done to it.
                ASSERT_EQ(missed.size(), 1u);
                EXPECT_EQ(missed[0].rfind(target + " | " + target, 0), 0u) << missed[0];
                EXPECT_NE(missed[0].find("symbolic link"), std::string::npos) << missed[0];
                EXPECT_EQ(Snapshot(tree / "sub.moved"), subBefore);
                if (std::string(c.operation) == "show") {
                    EXPECT_EQ(HiddenItemsStore().Count(), 1);
                }
            } else {
                // Already opened through the folder the walk saw: done there, in the tree.
                EXPECT_EQ(missed, std::vector<std::string>{});
                EXPECT_EQ(Names(tree / "sub.moved"), c.movedAfterRemovalSwap);
            }
        }
    }
}

// A show that cannot rewrite ".hidden" leaves the item hidden and in the store, and says so.
TEST_F(LinkSwapTest, AShowThatCannotRewriteDotHiddenIsNotDoneAndKeepsTheItem) {
    test::StoreInTempDir store;
    test::TempDir work;
    const std::string file = work.file("f");
    test::WriteText(file, "x");
    THide hide;
    hide.Work(file);
    ASSERT_EQ(HiddenItemsStore().Count(), 1);
    const std::string dotHidden = work.file(".hidden");
    const std::string elsewhere = work.file("elsewhere");
    fs::rename(dotHidden, elsewhere);
    fs::create_symlink(elsewhere, dotHidden);
    TShow show;
    show.ItemToShowIndex = 0;
    try {
        show.Work(file);
        ADD_FAILURE() << "the show was reported done";
    } catch (const EFileSkipped& e) {
        EXPECT_NE(std::string(e.what()).find("could not be shown"), std::string::npos) << e.what();
    }
    EXPECT_EQ(HiddenItemsStore().Count(), 1);
    EXPECT_EQ(test::ReadText(elsewhere), "f\n");
}

}  // namespace
}  // namespace tellvane
