#include "shred/ShredAlgorithms.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "shred/KISSRandomGenerator.h"
#include "shred/KissReference.h"
#include "shred/ShredMethods.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

namespace fs = std::filesystem;

// ---- A reference model of the methods, written from their pass tables. ----

struct PassSpec {
    char kind;                     // 'P' pattern, 'R' fresh random byte, 'C' one random byte, 'I' complement
    std::vector<uint8_t> pattern;  // for 'P'
};
PassSpec P(std::vector<uint8_t> bytes) { return {'P', std::move(bytes)}; }
const PassSpec R{'R', {}};
const PassSpec C{'C', {}};
const PassSpec I{'I', {}};

struct MethodModel {
    std::string className;
    std::string choice;
    std::vector<PassSpec> passes;
};

std::vector<PassSpec> DoD() { return {C, I, R, C, C, I, R}; }

std::vector<MethodModel> Methods() {
    std::vector<PassSpec> beyond{C, C, C};
    for (const auto& p : DoD()) beyond.push_back(p);
    beyond.insert(beyond.end(), {C, C, C});

    std::vector<PassSpec> gutmann{R, R, R, R, P({0x55}), P({0xAA}), P({0x92, 0x49, 0x24}), P({0x49, 0x24, 0x92}),
                                  P({0x24, 0x92, 0x49})};
    for (int k = 0; k < 16; ++k) gutmann.push_back(P({static_cast<uint8_t>(0x11 * k)}));
    for (auto bytes : std::vector<std::vector<uint8_t>>{{0x92, 0x49, 0x24},
                                                        {0x49, 0x24, 0x92},
                                                        {0x24, 0x92, 0x49},
                                                        {0x6D, 0xB6, 0xDB},
                                                        {0xB6, 0xDB, 0x6D},
                                                        {0xDB, 0x6D, 0xB6}})
        gutmann.push_back(P(bytes));
    gutmann.insert(gutmann.end(), {R, R, R, R});

    return {
        {"TZeroPass", "Quick shred by filling with zero's", {P({0x00})}},
        {"TRandPass", "Fast shred, space filled by random characters", {R}},
        {"TAntiSoftRecover", "Anti-software recovery tools", {C, P({0x00})}},
        {"TNAVSOMF", "NAVSO P-5239-26", {P({0xFF}), P({0xFF, 0xFF, 0xFF, 0xFD}), R}},
        {"TNAVSORL", "NAVSO P-5239-26 with RLL encoding scheme", {R, P({0xFF, 0xFF, 0xFF, 0xE4}), R}},
        {"TVSITR", "German VSITR algorithm", {P({0}), P({0xFF}), P({0}), P({0xFF}), P({0}), P({0xFF}), P({0xAA})}},
        {"TGOST", "Russian military standards GOST P50739-95", {R, R, R, P({0}), P({0}), P({0})}},
        {"TSchneier", "B. Schneier's algorithm", {R, P({0}), R, R, R, R, R}},
        {"TDOD", "DOD 5220.22-M", DoD()},
        {"TBEYNDDOD", "3+7+3 Beyond DoD Standards", beyond},
        {"TGUTMANN", "Guttman algorithm", gutmann},
    };
}

using test::ReferenceStep;

// The file's content after each pass, from the random state at the start of Shred: constant
// random bytes are drawn when the list is built, in pass order; a fresh-random pass draws one per
// byte in file order.
std::vector<std::vector<uint8_t>> ExpectedAfterEachPass(const MethodModel& method, std::vector<uint8_t> content,
                                                        TKISSState kiss) {
    std::vector<uint8_t> constants;
    for (const auto& p : method.passes)
        if (p.kind == 'C') constants.push_back(static_cast<uint8_t>(ReferenceStep(kiss) % 255));
    size_t nextConstant = 0;
    std::vector<std::vector<uint8_t>> result;
    for (const auto& p : method.passes) {
        for (size_t k = 0; k < content.size(); ++k) {
            switch (p.kind) {
                case 'P': content[k] = p.pattern[k % p.pattern.size()]; break;
                case 'R': content[k] = static_cast<uint8_t>(ReferenceStep(kiss) % 255); break;
                case 'C': content[k] = constants[nextConstant]; break;
                case 'I': content[k] = static_cast<uint8_t>(~content[k]); break;
            }
        }
        if (p.kind == 'C') ++nextConstant;
        result.push_back(content);
    }
    return result;
}

// ---- Seams ----

// Sees every pass through the driver's seam: snapshots of the file, flushes and their order.
class RecordingObserver : public TShredDriverObserver {
public:
    RecordingObserver() { SetShredDriverObserver(this); }
    ~RecordingObserver() override { SetShredDriverObserver(nullptr); }

    void PassDone(const std::string& fileName, int passIndex, int passCount) override {
        events.push_back("done " + std::to_string(passIndex));
        snapshots.push_back(test::ReadAll(fileName));
        passCounts.push_back(passCount);
    }
    ssize_t Write(int fd, const void* data, size_t size, off_t pos) override {
        ++writes;
        if (failWriteNumber == writes) {
            errno = ENOSPC;
            return -1;
        }
        return TShredDriverObserver::Write(fd, data, size, pos);
    }
    int Flush(int fd) override {
        events.push_back("flush");
        if (failFlush) {
            errno = EIO;
            return -1;
        }
        return TShredDriverObserver::Flush(fd);
    }

    std::vector<std::string> events;
    std::vector<std::vector<uint8_t>> snapshots;
    std::vector<int> passCounts;
    int writes = 0;
    int failWriteNumber = 0;  // 1-based write to fail, 0 for none
    bool failFlush = false;
};

using Progress = std::tuple<int64_t, int64_t, int64_t>;

struct Calls {
    std::vector<Progress> progress;
    std::vector<double> times;
    int halts = 0;
    int haltAt = 0;  // 1-based halt poll that answers true, 0 for never

    THaltOperationCallback Halt() {
        return [this] { return ++halts == haltAt; };
    }
    TProgressOperationCallback OnProgress() {
        return [this](int64_t done, int64_t total, int64_t part, double time) {
            progress.emplace_back(done, total, part);
            times.push_back(time);
        };
    }
};

class ShredTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDataFolder(dir.file("data"));
        SetAppFolder(dir.path().string());
        CreateShredAlgorithms();
    }
    void TearDown() override { FreeShredAlgorithms(); }

    TShredAlgorithm& Method(const std::string& className) {
        for (auto& m : ShredAlgorithmList())
            if (m->ClassName() == className) return *m;
        throw std::runtime_error("no method " + className);
    }

    test::TempDir dir;
};

// ---- Every pass of every method ----

// 65537 bytes: two chunks per pass, the second of one byte, so a pattern must run on across the
// chunk boundary (65536 is not a multiple of 3).
TEST_F(ShredTest, EveryPassOfEveryMethodWritesItsBytesAndIsFlushedBeforeTheNext) {
    const int64_t size = 65537;
    const auto methods = Methods();
    ASSERT_EQ(ShredAlgorithmList().size(), methods.size());
    for (size_t index = 0; index < methods.size(); ++index) {
        const MethodModel& model = methods[index];
        SCOPED_TRACE(model.className);
        TShredAlgorithm& method = *ShredAlgorithmList()[index];
        EXPECT_EQ(method.ClassName(), model.className);
        EXPECT_EQ(method.DisplayName(), model.choice);

        const std::string file = dir.file("victim.bin");
        const auto original = test::PatternBytes(size, static_cast<uint32_t>(index) + 1);
        test::WriteAll(file, original);
        TKISSState seed = KISSInitialState;
        seed.x = 1000u + static_cast<uint32_t>(index);
        KISSSetState(seed);
        const auto expected = ExpectedAfterEachPass(model, original, seed);

        RecordingObserver observer;
        Calls calls;
        method.Shred(file, calls.Halt(), calls.OnProgress());

        const int passes = static_cast<int>(model.passes.size());
        ASSERT_EQ(observer.snapshots.size(), expected.size());
        for (int p = 0; p < passes; ++p) EXPECT_TRUE(observer.snapshots[p] == expected[p]) << "after pass " << p + 1;
        // Exactly one flush per pass, each before the pass is reported done and before deletion.
        std::vector<std::string> events;
        for (int p = 0; p < passes; ++p) events.insert(events.end(), {"flush", "done " + std::to_string(p)});
        EXPECT_EQ(observer.events, events);
        EXPECT_FALSE(PathExists(file));

        std::vector<Progress> progress;
        for (int64_t p = 0; p < passes; ++p) {
            progress.emplace_back(size * p, size * passes, 65536 / passes);
            progress.emplace_back(size * p + 65536, size * passes, 1 / passes);
        }
        EXPECT_EQ(calls.progress, progress);
        EXPECT_EQ(calls.halts, 2 * passes);
        for (double t : calls.times) EXPECT_GE(t, 0.0);
    }
}

// The patterns the methods are known by, checked by their own rules rather than by the model.
TEST_F(ShredTest, KnownPatternsAndRulesHoldAfterTheirPasses) {
    const std::string file = dir.file("f");
    const auto original = test::PatternBytes(70001, 5);
    auto run = [&](const std::string& name) {
        test::WriteAll(file, original);
        RecordingObserver observer;
        Method(name).Shred(file, {}, {});
        return observer.snapshots;
    };
    auto all = [](const std::vector<uint8_t>& bytes, uint8_t v) {
        return std::all_of(bytes.begin(), bytes.end(), [v](uint8_t b) { return b == v; });
    };

    EXPECT_TRUE(all(run("TZeroPass").back(), 0x00));
    EXPECT_TRUE(all(run("TVSITR").back(), 0xAA));

    const auto navso = run("TNAVSOMF");
    ASSERT_EQ(navso.size(), 3u);
    EXPECT_EQ(test::ToHex(navso[1].data(), 12), "fffffffdfffffffdfffffffd");
    for (size_t k = 0; k < navso[1].size(); ++k) ASSERT_EQ(navso[1][k], k % 4 == 3 ? 0xFD : 0xFF) << k;

    // DoD: pass 2 is the complement of pass 1's one byte, pass 6 of pass 5's.
    const auto dod = run("TDOD");
    ASSERT_EQ(dod.size(), 7u);
    for (int p : {0, 4}) {
        const uint8_t b = dod[p][0];
        EXPECT_NE(b, 0xFF);
        EXPECT_TRUE(all(dod[p], b));
        EXPECT_TRUE(all(dod[p + 1], static_cast<uint8_t>(~b)));
    }
    const auto beyond = run("TBEYNDDOD");
    ASSERT_EQ(beyond.size(), 13u);
    for (int p : {3, 7}) EXPECT_TRUE(all(beyond[p + 1], static_cast<uint8_t>(~beyond[p][0])));

    // No random pass of any method ever writes 0xFF.
    const auto methods = Methods();
    for (const auto& model : methods) {
        const auto snapshots = run(model.className);
        for (size_t p = 0; p < model.passes.size(); ++p) {
            if (model.passes[p].kind == 'R' || model.passes[p].kind == 'C') {
                EXPECT_EQ(std::count(snapshots[p].begin(), snapshots[p].end(), 0xFF), 0)
                    << model.className << " pass " << p + 1;
            }
        }
    }
}

// ---- Progress and chunks ----

TEST_F(ShredTest, ProgressOfA100000ByteFileWithThreePasses) {
    const std::string file = dir.file("f");
    test::WriteAll(file, test::PatternBytes(100000));
    Calls calls;
    Method("TNAVSOMF").Shred(file, calls.Halt(), calls.OnProgress());
    EXPECT_EQ(calls.progress, (std::vector<Progress>{{0, 300000, 21845},
                                                      {65536, 300000, 11488},
                                                      {100000, 300000, 21845},
                                                      {165536, 300000, 11488},
                                                      {200000, 300000, 21845},
                                                      {265536, 300000, 11488}}));
    EXPECT_FALSE(PathExists(file));
}

TEST_F(ShredTest, AFileOfExactlyOneChunkIsOneChunkPerPass) {
    const std::string file = dir.file("f");
    test::WriteAll(file, test::PatternBytes(65536));
    Calls calls;
    RecordingObserver observer;
    Method("TVSITR").Shred(file, calls.Halt(), calls.OnProgress());
    std::vector<Progress> expected;
    for (int64_t p = 0; p < 7; ++p) expected.emplace_back(65536 * p, 65536 * 7, 65536 / 7);
    EXPECT_EQ(calls.progress, expected);
    EXPECT_EQ(observer.writes, 7);
    EXPECT_FALSE(PathExists(file));
}

TEST_F(ShredTest, OneByteFileWithGutmannTakes35OneByteChunks) {
    const std::string file = dir.file("f");
    test::WriteAll(file, {0x3C});
    TKISSState seed = KISSInitialState;
    KISSSetState(seed);
    RecordingObserver observer;
    Calls calls;
    Method("TGUTMANN").Shred(file, calls.Halt(), calls.OnProgress());
    std::vector<Progress> expected;
    for (int64_t p = 0; p < 35; ++p) expected.emplace_back(p, 35, 0);
    EXPECT_EQ(calls.progress, expected);
    EXPECT_EQ(observer.passCounts, std::vector<int>(35, 35));
    const auto model = ExpectedAfterEachPass(Methods()[10], {0x3C}, seed);
    EXPECT_EQ(observer.snapshots, model);
    EXPECT_EQ(observer.snapshots[6], std::vector<uint8_t>{0x92});
    EXPECT_EQ(observer.snapshots[24], std::vector<uint8_t>{0xFF});
    EXPECT_FALSE(PathExists(file));
}

// ---- Stopping and refusing ----

// Nothing to overwrite, but the name may be the secret: the file goes without a pass.
TEST_F(ShredTest, EmptyFileIsRemovedWithoutAPass) {
    const std::string file = dir.file("empty");
    test::WriteAll(file, {});
    RecordingObserver observer;
    Calls calls;
    Method("TGUTMANN").Shred(file, calls.Halt(), calls.OnProgress());
    EXPECT_FALSE(PathExists(file));
    EXPECT_TRUE(calls.progress.empty());
    EXPECT_TRUE(observer.events.empty());
}

TEST_F(ShredTest, HaltBeforeTheFirstChunkLeavesTheFileUnchanged) {
    const std::string file = dir.file("f");
    const auto original = test::PatternBytes(150000, 2);
    test::WriteAll(file, original);
    RecordingObserver observer;
    Calls calls;
    calls.haltAt = 1;
    Method("TDOD").Shred(file, calls.Halt(), calls.OnProgress());
    EXPECT_EQ(test::ReadAll(file), original);
    EXPECT_TRUE(calls.progress.empty());
    EXPECT_EQ(observer.writes, 0);
}

TEST_F(ShredTest, HaltInALaterPassKeepsTheEarlierPassesComplete) {
    // 150000 bytes are three chunks a pass; the eighth poll is the second chunk of the third pass.
    const std::string file = dir.file("f");
    test::WriteAll(file, test::PatternBytes(150000, 2));
    RecordingObserver observer;
    Calls calls;
    calls.haltAt = 8;
    Method("TVSITR").Shred(file, calls.Halt(), calls.OnProgress());
    const auto after = test::ReadAll(file);
    ASSERT_EQ(after.size(), 150000u);
    for (size_t k = 0; k < after.size(); ++k) ASSERT_EQ(after[k], k < 65536 ? 0x00 : 0xFF) << k;
    EXPECT_EQ(calls.progress.size(), 7u);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"flush", "done 0", "flush", "done 1"}));
}

TEST_F(ShredTest, ReadOnlyFileIsRefusedEvenForRootAndKeepsContentAndMode) {
    const std::string file = dir.file("ro.txt");
    const auto original = test::PatternBytes(1000);
    test::WriteAll(file, original);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    Calls calls;
    try {
        Method("TZeroPass").Shred(file, calls.Halt(), calls.OnProgress());
        FAIL() << "a read-only file was shredded";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), CannotOpenMessage(file, EACCES));
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + file + "\". Error 13: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(test::ReadAll(file), original);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_TRUE(calls.progress.empty());
}

TEST_F(ShredTest, MissingFileAndNonRegularFilesAreRefused) {
    const std::string missing = dir.file("missing");
    try {
        Method("TZeroPass").Shred(missing, {}, {});
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), CannotOpenMessage(missing, ENOENT));
    }
    // A pipe is refused without waiting for a writer; a folder is refused too.
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(Method("TZeroPass").Shred(fifo, {}, {}), ENotRegularFile);
    EXPECT_TRUE(PathExists(fifo));
    fs::create_directory(dir.file("folder"));
    EXPECT_THROW(Method("TZeroPass").Shred(dir.file("folder"), {}, {}), ENotRegularFile);
    EXPECT_TRUE(DirectoryExists(dir.file("folder")));
}

TEST_F(ShredTest, SymbolicLinkIsRemovedAndItsTargetLeftAlone) {
    const std::string target = dir.file("target.bin");
    const auto original = test::PatternBytes(5000);
    test::WriteAll(target, original);
    const std::string link = dir.file("link");
    fs::create_symlink(target, link);
    RecordingObserver observer;
    Calls calls;
    Method("TGUTMANN").Shred(link, calls.Halt(), calls.OnProgress());
    EXPECT_FALSE(PathExists(link));
    EXPECT_EQ(test::ReadAll(target), original);
    EXPECT_EQ(observer.writes, 0);
    EXPECT_TRUE(calls.progress.empty());

    const std::string dangling = dir.file("dangling");
    fs::create_symlink(dir.file("nowhere"), dangling);
    Method("TZeroPass").Shred(dangling, {}, {});
    EXPECT_FALSE(PathExists(dangling));
    EXPECT_FALSE(PathExists(dir.file("nowhere")));
}

TEST_F(ShredTest, WriteFailureMidPassNamesItsReasonAndLeavesThePartlyWipedFile) {
    const std::string file = dir.file("f");
    const auto original = test::PatternBytes(150000, 4);
    test::WriteAll(file, original);
    RecordingObserver observer;
    observer.failWriteNumber = 2;
    try {
        Method("TZeroPass").Shred(file, {}, {});
        FAIL();
    } catch (const EFileSkipped& e) {  // this file only: the run goes on
        EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + file + "\". Error 28: No space left on device");
    }
    const auto after = test::ReadAll(file);
    ASSERT_EQ(after.size(), original.size());
    EXPECT_TRUE(std::all_of(after.begin(), after.begin() + 65536, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::equal(after.begin() + 65536, after.end(), original.begin() + 65536));
}

TEST_F(ShredTest, FlushFailureRaisesBeforeTheNextPass) {
    const std::string file = dir.file("f");
    test::WriteAll(file, test::PatternBytes(1000));
    RecordingObserver observer;
    observer.failFlush = true;
    try {
        Method("TVSITR").Shred(file, {}, {});
        FAIL();
    } catch (const EFileSkipped& e) {
        EXPECT_EQ(std::string(e.what()), CannotWriteMessage(file, EIO));
    }
    EXPECT_EQ(observer.events, std::vector<std::string>{"flush"});
    EXPECT_EQ(test::ReadAll(file), std::vector<uint8_t>(1000, 0x00));
}

// Holes own no blocks and hold no data: only the data extents are written, the size stays, no
// block is allocated. 3 GiB apart, so positions and sizes beyond 32 bits are exercised too.
TEST_F(ShredTest, SparseFileHasOnlyItsDataOverwritten) {
    const std::string file = dir.file("sparse");
    const int64_t far = int64_t(3) << 30, size = far + 70000;
    {
        test::WriteAll(file, test::PatternBytes(5000, 1));
        const int fd = ::open(file.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        const auto tail = test::PatternBytes(70000, 2);
        ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), far), 70000);
        ::close(fd);
    }
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    if (before.st_blocks * 512 > (int64_t(1) << 20)) GTEST_SKIP() << "this file system stores no holes";

    // Not the recording observer: its snapshots would read the 3 GiB.
    class Ranges : public TShredDriverObserver {
    public:
        Ranges() { SetShredDriverObserver(this); }
        ~Ranges() override { SetShredDriverObserver(nullptr); }
        void PassDone(const std::string&, int, int count) override { passCount = count; }
        ssize_t Write(int fd, const void* data, size_t size, off_t pos) override {
            struct stat st {};
            ::fstat(fd, &st);
            maxBlocks = std::max<int64_t>(maxBlocks, st.st_blocks);
            written.emplace_back(pos, pos + static_cast<off_t>(size));
            return TShredDriverObserver::Write(fd, data, size, pos);
        }
        std::vector<std::pair<int64_t, int64_t>> written;
        int64_t maxBlocks = 0;
        int passCount = 0;
    } observer;
    Calls calls;
    Method("TDOD").Shred(file, calls.Halt(), calls.OnProgress());
    EXPECT_FALSE(PathExists(file));
    int64_t total = 0;
    for (const auto& [from, to] : observer.written) {
        // Within a data extent: the first 4 KiB block, or the blocks around the far tail.
        EXPECT_TRUE(to <= 8192 || (from >= far - 4096 && to <= size)) << from << ".." << to;
        total += to - from;
    }
    ASSERT_GT(observer.passCount, 0);
    EXPECT_LE(total, observer.passCount * (int64_t(8192) + 70000 + 8192));
    EXPECT_LE(observer.maxBlocks, before.st_blocks);
    ASSERT_FALSE(calls.progress.empty());
    EXPECT_EQ(std::get<1>(calls.progress.back()), total);  // the data of every pass
}

// Passes whose generator ignores the file's bytes read nothing; a complement pass must read.
uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return UINT64_MAX;
}

TEST_F(ShredTest, OnlyPassesThatLookAtTheFileReadIt) {
    if (BytesReadSoFar() == UINT64_MAX) GTEST_SKIP() << "no I/O accounting";
    const std::string file = dir.file("f");
    const size_t size = 1 << 20;
    test::WriteAll(file, test::PatternBytes(size));
    uint64_t before = BytesReadSoFar();
    Method("TGOST").Shred(file, {}, {});  // six passes, none reads
    EXPECT_LT(BytesReadSoFar() - before, size / 4);

    test::WriteAll(file, test::PatternBytes(size));
    before = BytesReadSoFar();
    Method("TDOD").Shred(file, {}, {});  // two complement passes read the whole file each
    EXPECT_GE(BytesReadSoFar() - before, 2 * size);
    EXPECT_LT(BytesReadSoFar() - before, 3 * size);
}

// ---- Registry and descriptions ----

TEST_F(ShredTest, DescriptionsComeFromTheLanguagesFile) {
    for (auto& m : ShredAlgorithmList()) EXPECT_EQ(m->GetDesc(), "") << m->ClassName();  // no file

    test::WriteText(dir.file("shreds1033.ini"), "[Algos]\nTZeroPass=Zeros everywhere\ntgutmann=Many passes\n");
    EXPECT_EQ(Method("TZeroPass").GetDesc(), "Zeros everywhere");
    EXPECT_EQ(Method("TGUTMANN").GetDesc(), "Many passes");
    EXPECT_EQ(Method("TDOD").GetDesc(), "");

    // The language is the option of start-up time.
    test::WriteText(dir.file("data/options.ini"), "[Options]\nLanguageID=1049\n");
    test::WriteText(dir.file("shreds1049.ini"), "[Algos]\nTZeroPass=Nuli\n");
    EXPECT_EQ(Method("TZeroPass").GetDesc(), "Zeros everywhere");
    FreeShredAlgorithms();
    CreateShredAlgorithms(ReadLanguageChoice(TOptions()));
    EXPECT_EQ(Method("TZeroPass").GetDesc(), "Nuli");
    EXPECT_EQ(Method("TGUTMANN").GetDesc(), "");
}

TEST(ShredRegistry, ShippedDescriptionsCoverEveryMethod) {
    test::TempDir data;
    SetDataFolder(data.path().string());
    SetAppFolder(fs::read_symlink("/proc/self/exe").parent_path().string());
    CreateShredAlgorithms();
    ASSERT_EQ(ShredAlgorithmList().size(), 11u);
    for (auto& m : ShredAlgorithmList()) EXPECT_GT(m->GetDesc().size(), 20u) << m->ClassName();
    FreeShredAlgorithms();
    EXPECT_TRUE(ShredAlgorithmList().empty());
}

// The table's pass words: every word read, anything else refused rather than half read.
TEST(ShredRegistry, PassWordsAreReadOrRefused) {
    const auto passes = ParseShredPasses(" FFFFFFFD  R C I");
    ASSERT_EQ(passes.size(), 4u);
    EXPECT_EQ(passes[0].Pattern, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFD}));
    EXPECT_EQ(passes[1].Kind, TShredPass::pkRandom);
    EXPECT_EQ(passes[2].Kind, TShredPass::pkRandomConstant);
    EXPECT_EQ(passes[3].Kind, TShredPass::pkInvert);
    for (const char* bad : {"", "  ", "0", "FFF", "GG", "0a", "R2", "r", "00 X"})
        EXPECT_THROW(ParseShredPasses(bad), std::invalid_argument) << '"' << bad << '"';
    EXPECT_EQ(FindShredMethod("TGUTMANN").Choice, "Guttman algorithm");
    EXPECT_THROW(FindShredMethod("tgutmann"), std::invalid_argument);
}

}  // namespace
}  // namespace tellvane
