#include "hide/DotHiddenFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

TEST(DotHiddenText, AddingAppendsOneLineAndKeepsEverythingElse) {
    EXPECT_EQ(WithHiddenName("", "a"), "a\n");
    EXPECT_EQ(WithHiddenName("x\n", "a"), "x\na\n");
    // A last line without its line break gets one before the new name.
    EXPECT_EQ(WithHiddenName("x", "a"), "x\na\n");
    // Foreign lines, blank lines and carriage returns stay exactly as they were.
    EXPECT_EQ(WithHiddenName("x\r\n\n  y \n", "a"), "x\r\n\n  y \na\n");
    // Already listed: unchanged.
    EXPECT_EQ(WithHiddenName("x\na\ny", "a"), "x\na\ny");
    // A line that only resembles the name does not count.
    EXPECT_EQ(WithHiddenName("a \nA\n", "a"), "a \nA\na\n");
}

TEST(DotHiddenText, RemovingDropsEveryLineEqualToTheNameAndNothingElse) {
    EXPECT_EQ(WithoutHiddenName("a\n", "a"), "");
    EXPECT_EQ(WithoutHiddenName("x\na\ny\n", "a"), "x\ny\n");
    EXPECT_EQ(WithoutHiddenName("a\nx\na\n", "a"), "x\n");
    EXPECT_EQ(WithoutHiddenName("x\na", "a"), "x\n");
    EXPECT_EQ(WithoutHiddenName("x\r\n\nab\n a\n", "a"), "x\r\n\nab\n a\n");
    EXPECT_EQ(WithoutHiddenName("x\r\na\r\n", "a"), "x\r\na\r\n");
}

TEST(DotHiddenText, EntriesAreTheNonEmptyLines) {
    EXPECT_FALSE(HasHiddenEntries(""));
    EXPECT_FALSE(HasHiddenEntries("\n\n"));
    EXPECT_TRUE(HasHiddenEntries("\n \n"));
    EXPECT_TRUE(ListsHiddenName("x\ny", "y"));
    EXPECT_FALSE(ListsHiddenName("x\ny", "x\ny"));
}

TEST(DotHiddenFile, RoundTripKeepsForeignEntriesAndRemovesTheFileWithItsLastEntry) {
    TempDir dir;
    const std::string folder = dir.path().string();
    const std::string dotHidden = dir.file(".hidden");

    ASSERT_EQ(ListInDotHidden(folder, "mine"), 0);
    EXPECT_EQ(ReadText(dotHidden), "mine\n");
    struct stat st {};
    ASSERT_EQ(stat(dotHidden.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ASSERT_EQ(UnlistFromDotHidden(folder, "mine"), 0);
    EXPECT_FALSE(PathExists(dotHidden));

    WriteText(dotHidden, "foreign\r\n#note\n\nother");
    ASSERT_EQ(chmod(dotHidden.c_str(), 0640), 0);
    ASSERT_EQ(ListInDotHidden(folder + "/", "mine"), 0);
    ASSERT_EQ(ListInDotHidden(folder, "mine"), 0);  // listed once only
    EXPECT_EQ(ReadText(dotHidden), "foreign\r\n#note\n\nother\nmine\n");
    EXPECT_TRUE(IsListedInDotHidden(folder, "mine"));
    EXPECT_EQ(ReadHiddenNames(folder), (std::set<std::string>{"foreign\r", "#note", "other", "mine"}));
    ASSERT_EQ(UnlistFromDotHidden(folder, "mine"), 0);
    EXPECT_EQ(ReadText(dotHidden), "foreign\r\n#note\n\nother\n");
    ASSERT_EQ(stat(dotHidden.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);  // the file's mode is kept

    // Not listed: the file is not rewritten at all.
    WriteText(dotHidden, "other");
    ASSERT_EQ(UnlistFromDotHidden(folder, "mine"), 0);
    EXPECT_EQ(ReadText(dotHidden), "other");
    // No temporary files are left behind.
    EXPECT_EQ(ListDirectory(folder).size(), 1u);
}

TEST(DotHiddenFile, AFileOfOnlyBlankLinesGoesWithTheLastEntry) {
    TempDir dir;
    WriteText(dir.file(".hidden"), "\n\nmine\n\n");
    ASSERT_EQ(UnlistFromDotHidden(dir.path().string(), "mine"), 0);
    EXPECT_FALSE(PathExists(dir.file(".hidden")));
}

TEST(DotHiddenFile, NamesALineCannotHoldAreRefused) {
    TempDir dir;
    const std::string folder = dir.path().string();
    for (const char* name : {"", ".", "..", "a/b", "two\nlines", "cr\r"}) {
        EXPECT_EQ(ListInDotHidden(folder, name), EINVAL) << name;
        EXPECT_EQ(UnlistFromDotHidden(folder, name), EINVAL) << name;
    }
    EXPECT_FALSE(PathExists(dir.file(".hidden")));
}

TEST(DotHiddenFile, AMissingFolderReportsItsError) {
    TempDir dir;
    EXPECT_EQ(ListInDotHidden(dir.file("missing"), "x"), ENOENT);
    EXPECT_EQ(UnlistFromDotHidden(dir.file("missing"), "x"), 0);  // nothing listed: nothing to do
    EXPECT_TRUE(ReadHiddenNames(dir.file("missing")).empty());
}

// A link, a special file or an oversized file named ".hidden" is never read through, replaced or
// removed; whatever it leads to is untouched, and the tree reads the folder as having no entries.
TEST(DotHiddenFile, OnlyABoundedRegularFileIsReadOrReplaced) {
    TempDir dir;
    const std::string secret = dir.file("secret");
    WriteText(secret, "private\n");
    ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
    const std::string folder = dir.file("shared");
    const std::string dotHidden = folder + "/.hidden";
    const std::string big(MaxDotHiddenSize + 1, '\n');
    struct Case {
        const char* what;
        std::function<void()> plant;
        int error;
    };
    const Case cases[] = {
        {"link to a private file", [&] { ASSERT_EQ(symlink(secret.c_str(), dotHidden.c_str()), 0); }, ELOOP},
        {"link to /dev/zero", [&] { ASSERT_EQ(symlink("/dev/zero", dotHidden.c_str()), 0); }, ELOOP},
        {"dangling link", [&] { ASSERT_EQ(symlink("nowhere", dotHidden.c_str()), 0); }, ELOOP},
        {"FIFO", [&] { ASSERT_EQ(mkfifo(dotHidden.c_str(), 0666), 0); }, EINVAL},
        {"folder", [&] { ASSERT_EQ(mkdir(dotHidden.c_str(), 0755), 0); }, EISDIR},
        {"file over the limit", [&] { WriteText(dotHidden, "mine\n" + big); }, EFBIG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder);
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        c.plant();
        struct stat before {};
        ASSERT_EQ(lstat(dotHidden.c_str(), &before), 0);
        EXPECT_EQ(ListInDotHidden(folder, "x"), c.error);
        EXPECT_EQ(UnlistFromDotHidden(folder, "mine"), c.error);
        EXPECT_TRUE(ReadHiddenNames(folder).empty());
        struct stat after {};
        ASSERT_EQ(lstat(dotHidden.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(ListDirectory(folder).size(), 1u);  // no temporary file left
    }
    EXPECT_EQ(ReadText(secret), "private\n");
    struct stat st {};
    ASSERT_EQ(stat(secret.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // Exactly at the limit is still read.
    std::filesystem::remove_all(folder);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    WriteText(dotHidden, "mine\n" + std::string(MaxDotHiddenSize - 5, '\n'));
    EXPECT_EQ(ReadHiddenNames(folder), (std::set<std::string>{"mine"}));
    EXPECT_EQ(UnlistFromDotHidden(folder, "mine"), 0);
    EXPECT_FALSE(PathExists(dotHidden));
}

TEST(DotHiddenFile, AsRootANewFileBelongsToTheFolderOwner) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root";
    TempDir dir;
    const std::string folder = dir.file("user");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(chown(folder.c_str(), 1234, 2345), 0);
    ASSERT_EQ(ListInDotHidden(folder, "x"), 0);
    struct stat st {};
    ASSERT_EQ(stat((folder + "/.hidden").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 2345u);
    // Rewriting keeps the owner the file had.
    ASSERT_EQ(ListInDotHidden(folder, "y"), 0);
    ASSERT_EQ(stat((folder + "/.hidden").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
}

}  // namespace
}  // namespace tellvane
