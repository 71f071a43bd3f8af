#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/Logger.h"
#include "exceptionhook/ExceptionLogger.h"
#include "platform/AppFolders.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace tellvane {
namespace {

const char* const kStampPattern = R"(\d{1,2}\.\d{1,2}\.\d{2} \d{2}:\d{2}:\d{2}:\d{3})";
const char* const kStackTop = "STACK TOP-----------------------------";
const char* const kStackBottom = "STACK BOTTOM-------------------------";

// Collects what the log would write, from any thread.
class LineCapture {
public:
    void Attach() {
        SetLogLineWriter([this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        });
    }
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// Every test starts from a log that is off, with its own data folder and command line, and leaves the
// process's logger as it found it.
class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedDataFolder_ = GetDataFolder();
        for (int i = 0; i <= ParamCount(); ++i) savedArgs_.push_back(ParamStr(i));
        SetDataFolder(dir_.path().string());
        SetCommandLine(std::vector<std::string>{"prog"});
        InitLogger("-debug");
    }
    void TearDown() override {
        SetLogEnabled(false);
        SetLogLineWriter({});
        SetCommandLine(savedArgs_);
        if (!savedDataFolder_.empty()) SetDataFolder(savedDataFolder_);
    }
    void StartWith(std::vector<std::string> args) {
        args.insert(args.begin(), "prog");
        SetCommandLine(args);
        InitLogger("-debug");
    }
    std::string LogPath() const { return dir_.file("test_exceptionhook.log"); }

    test::TempDir dir_;
    std::string savedDataFolder_;
    std::vector<std::string> savedArgs_;
};

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

TEST_F(LoggerTest, LogFileIsNamedAfterTheExecutableInTheDataFolder) {
    EXPECT_EQ(LogFileName(), GetDataFolder() + "test_exceptionhook.log");
    EXPECT_EQ(LogFileName(), LogPath());
}

TEST_F(LoggerTest, SwitchMustMatchExactlyAmongArgumentsOneToN) {
    struct Case {
        std::vector<std::string> args;
        bool enabled;
    };
    const Case cases[] = {
        {{}, false},
        {{"-debug"}, true},
        {{"a.txt", "/encrypt", "-debug"}, true},
        {{"-debug", "/activate"}, true},
        {{"-Debug"}, false},
        {{"-DEBUG"}, false},
        {{"/debug"}, false},
        {{"--debug"}, false},
        {{"-debug "}, false},
        {{"-debugger"}, false},
        {{"debug"}, false},
    };
    for (const auto& c : cases) {
        StartWith(c.args);
        std::string shown;
        for (const auto& a : c.args) shown += "[" + a + "]";
        EXPECT_EQ(LogEnabled(), c.enabled) << shown;
    }
    // Argument 0 is the program itself, never a switch.
    SetCommandLine(std::vector<std::string>{"-debug"});
    InitLogger("-debug");
    EXPECT_FALSE(LogEnabled());
}

TEST_F(LoggerTest, LogLineIsStampSourceAndMessage) {
    StartWith({"-debug"});
    LineCapture capture;
    capture.Attach();
    TDateTime before = Now();
    Log("SetFileAttributes failed Error 5: Access is denied", "CoreHide");
    TDateTime after = Now();

    auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m,
                                 std::regex(std::string("(") + kStampPattern +
                                            ") CoreHide: SetFileAttributes failed Error 5: Access is denied")))
        << lines[0];
    // The stamp is the local time of the call, to the millisecond.
    int d, mo, y, h, mi, sec, ms;
    ASSERT_EQ(std::sscanf(m[1].str().c_str(), "%d.%d.%d %d:%d:%d:%d", &d, &mo, &y, &h, &mi, &sec, &ms), 7);
    DateTimeParts b = DecodeDateTime(before), a = DecodeDateTime(after);
    if (b.day == a.day) {  // not across midnight
        EXPECT_EQ(d, b.day);
        EXPECT_EQ(mo, b.month);
        EXPECT_EQ(y, b.year % 100);
        auto msOfDay = [](int hh, int nn, int ss, int zzz) { return ((hh * 60 + nn) * 60 + ss) * 1000 + zzz; };
        int t = msOfDay(h, mi, sec, ms);
        EXPECT_GE(t, msOfDay(b.hour, b.minute, b.second, b.millisecond));
        EXPECT_LE(t, msOfDay(a.hour, a.minute, a.second, a.millisecond));
    }
}

TEST_F(LoggerTest, DisabledLogWritesNothingAndCreatesNoFile) {
    StartWith({"-Debug", "/debug"});
    ASSERT_FALSE(LogEnabled());
    Log("message", "CoreHide");
    InstallExceptionLogger();
    try {
        throw std::runtime_error("not logged");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(PathExists(LogPath()));

    LineCapture capture;
    capture.Attach();
    Log("message", "CoreUnhide");
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(LoggerTest, TwoRunsAppendToTheSameFileWithCrLf) {
    StartWith({"-debug"});
    Log("first run", "CoreHide");
    StartWith({"x", "-debug"});
    Log("second run", "CoreUnhide");
    WriteLogLine("");

    std::string text = test::ReadText(LogPath());
    auto lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(std::string(kStampPattern) + " CoreHide: first run")))
        << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(std::string(kStampPattern) + " CoreUnhide: second run")))
        << lines[1];
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

TEST_F(LoggerTest, FileHoldsTheSystemCodePage) {
    WriteLogLine("caf\xC3\xA9 \xE2\x82\xAC");  // "café €" in UTF-8
    EXPECT_EQ(test::ReadText(LogPath()), Utf8ToCodePage("caf\xC3\xA9 \xE2\x82\xAC", SystemAnsiCodePage()) + "\r\n");
}

TEST_F(LoggerTest, UnwritableLogIsIgnored) {
    // A data folder below a regular file cannot exist, whoever runs the test.
    test::WriteText(dir_.file("plain"), "x");
    SetDataFolder(dir_.file("plain") + "/sub");
    StartWith({"-debug"});
    ASSERT_TRUE(LogEnabled());
    EXPECT_NO_THROW(WriteLogLine("lost"));
    EXPECT_NO_THROW(Log("lost", "CoreHide"));
    InstallExceptionLogger();
    bool caught = false;
    try {
        throw std::logic_error("still reaches its handler");
    } catch (const std::logic_error& e) {
        caught = std::string(e.what()) == "still reaches its handler";
    }
    EXPECT_TRUE(caught);
    EXPECT_FALSE(PathExists(dir_.file("plain") + "/sub"));
}

TEST_F(LoggerTest, ConcurrentAppendsKeepWholeLines) {
    constexpr int kLines = 400;
    auto writer = [](char tag) {
        std::string body(180, tag);
        for (int i = 0; i < kLines; ++i) WriteLogLine(std::string(1, tag) + std::to_string(i) + ":" + body);
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();

    auto lines = SplitCrLf(test::ReadText(LogPath()));
    ASSERT_EQ(lines.size(), 2u * kLines);
    int next[2] = {0, 0};
    for (const auto& line : lines) {
        ASSERT_FALSE(line.empty());
        char tag = line[0];
        ASSERT_TRUE(tag == 'a' || tag == 'b') << line;
        int& n = next[tag - 'a'];
        // Each thread's lines arrive whole and in its own order.
        EXPECT_EQ(line, std::string(1, tag) + std::to_string(n) + ":" + std::string(180, tag));
        ++n;
    }
    EXPECT_EQ(next[0], kLines);
    EXPECT_EQ(next[1], kLines);
}

// --- the exception block ---

[[gnu::noinline]] void ThrowRuntimeError(const std::string& message) { throw std::runtime_error(message); }

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines) all += line + "\n";
    return all;
}

std::string FrameAddress(const std::string& frameLine) { return frameLine.substr(1, frameLine.find(']') - 1); }

// Checks the block's frame: empty line, stamp, description, stack markers around frame lines.
void ExpectBlockShape(const std::vector<std::string>& lines, size_t first, size_t& end) {
    ASSERT_GE(lines.size(), first + 6);
    EXPECT_EQ(lines[first], "");
    EXPECT_TRUE(std::regex_match(lines[first + 1], std::regex(kStampPattern))) << lines[first + 1];
    EXPECT_EQ(lines[first + 3], kStackTop);
    size_t i = first + 4;
    const std::regex frame(R"(\[[0-9A-F]{8,}\]( [^ ].*\..+?( \(Line \d+, "[^"]+"\))?)?)");
    for (; i < lines.size() && lines[i] != kStackBottom; ++i)
        EXPECT_TRUE(std::regex_match(lines[i], frame)) << lines[i];
    ASSERT_LT(i, lines.size()) << "no stack bottom";
    EXPECT_GT(i, first + 4) << "no frames";
    end = i + 1;
}

TEST_F(LoggerTest, HandledExceptionIsLoggedWithItsStack) {
    StartWith({"-debug"});
    InstallExceptionLogger();
    LineCapture capture;
    capture.Attach();
    try {
        ThrowRuntimeError("disk on fire");
    } catch (const std::runtime_error&) {
    }

    auto lines = capture.Lines();
    size_t end = 0;
    ExpectBlockShape(lines, 0, end);
    EXPECT_EQ(end, lines.size());

    // "Exception CLASS in module MODULE at ADDR." CR LF message with its full stop CR LF.
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[2], m,
                                 std::regex("Exception std::runtime_error in module test_exceptionhook at ([0-9A-F]{8,})\\."
                                            "\r\ndisk on fire\\.\r\n")))
        << lines[2];
    // The address is where it was thrown: the innermost frame, inside the throwing routine.
    EXPECT_EQ(m[1].str(), FrameAddress(lines[4]));
    EXPECT_NE(lines[4].find(".ThrowRuntimeError"), std::string::npos) << lines[4];
#ifndef NDEBUG
    EXPECT_TRUE(std::regex_search(lines[4], std::regex(R"( \(Line \d+, "LoggerTest\.cpp"\)$)"))) << lines[4];
#endif
    // The test body that called it is further out on the stack.
    bool callerFound = std::any_of(lines.begin() + 5, lines.end(), [](const std::string& l) {
        return l.find("HandledExceptionIsLoggedWithItsStack") != std::string::npos;
    });
    EXPECT_TRUE(callerFound) << Joined(lines);
}

TEST_F(LoggerTest, ExceptionsFromTheRuntimeAndNonClassTypesAreLogged) {
    StartWith({"-debug"});
    InstallExceptionLogger();
    LineCapture capture;
    capture.Attach();
    try {
        std::vector<int> empty;
        (void)empty.at(3);
    } catch (const std::out_of_range&) {
    }
    try {
        throw 42;
    } catch (int) {
    }
    try {
        throw "plain text";
    } catch (const char*) {
    }
    try {
        throw EFileError("Cannot open file \"x\". Error 2: No such file or directory.");
    } catch (const std::exception&) {
    }

    auto lines = capture.Lines();
    size_t end = 0;
    ExpectBlockShape(lines, 0, end);
    EXPECT_EQ(lines[2].rfind("Exception std::out_of_range in module ", 0), 0u) << lines[2];
    size_t second = end;
    ExpectBlockShape(lines, second, end);
    EXPECT_TRUE(std::regex_match(lines[second + 2],
                                 std::regex("Exception int in module test_exceptionhook at [0-9A-F]{8,}\\.\r\n\\.\r\n")))
        << lines[second + 2];
    size_t textBlock = end;
    ExpectBlockShape(lines, textBlock, end);
    EXPECT_TRUE(std::regex_match(lines[textBlock + 2],
                                 std::regex("Exception char const\\* in module test_exceptionhook at [0-9A-F]{8,}\\.\r\n"
                                            "plain text\\.\r\n")))
        << lines[textBlock + 2];
    size_t third = end;
    ExpectBlockShape(lines, third, end);
    // A message that ends in a full stop keeps just that one.
    EXPECT_TRUE(std::regex_match(lines[third + 2],
                                 std::regex("Exception tellvane::EFileError in module test_exceptionhook at [0-9A-F]{8,}\\.\r\n"
                                            "Cannot open file \"x\"\\. Error 2: No such file or directory\\.\r\n")))
        << lines[third + 2];
    EXPECT_EQ(end, lines.size());
}

TEST_F(LoggerTest, ExceptionBlockReachesTheFile) {
    StartWith({"-debug"});
    InstallExceptionLogger();
    try {
        ThrowRuntimeError("to the file");
    } catch (const std::exception&) {
    }
    // The description spans two lines and leaves an empty one after it.
    auto lines = SplitCrLf(test::ReadText(LogPath()));
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(kStampPattern))) << lines[1];
    EXPECT_EQ(lines[2].rfind("Exception std::runtime_error in module test_exceptionhook at ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "to the file.");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], kStackTop);
    EXPECT_EQ(lines.back(), kStackBottom);
}

TEST_F(LoggerTest, ExceptionsInsideTheWriterAreNotLoggedAgain) {
    StartWith({"-debug"});
    InstallExceptionLogger();
    std::vector<std::string> lines;
    SetLogLineWriter([&lines](const std::string& line) {
        // A writer that throws and handles an exception of its own for every line.
        try {
            throw std::runtime_error("inside the writer");
        } catch (const std::exception&) {
        }
        lines.push_back(line);
    });
    try {
        ThrowRuntimeError("outer");
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "outer");
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(kStackTop)), 1);
    for (const auto& line : lines) EXPECT_EQ(line.find("inside the writer"), std::string::npos);

    // A writer that fails loses the block, and the exception still reaches its handler.
    SetLogLineWriter([](const std::string&) { throw std::runtime_error("writer broken"); });
    bool caught = false;
    try {
        ThrowRuntimeError("after a broken writer");
    } catch (const std::exception& e) {
        caught = std::string(e.what()) == "after a broken writer";
    }
    EXPECT_TRUE(caught);
    EXPECT_NO_THROW(Log("lost", "CoreHide"));
}

TEST_F(LoggerTest, BlocksFromTwoThreadsDoNotInterleave) {
    StartWith({"-debug"});
    InstallExceptionLogger();
    LineCapture capture;
    capture.Attach();
    constexpr int kThrows = 25;
    auto thrower = [] {
        for (int i = 0; i < kThrows; ++i) {
            try {
                ThrowRuntimeError("from a thread");
            } catch (const std::exception&) {
            }
            Log("between", "Thread");
        }
    };
    std::thread a(thrower), b(thrower);
    a.join();
    b.join();

    auto lines = capture.Lines();
    size_t pos = 0;
    int blocks = 0, singles = 0;
    while (pos < lines.size()) {
        if (lines[pos].empty()) {
            size_t end = 0;
            ExpectBlockShape(lines, pos, end);
            if (::testing::Test::HasFatalFailure()) return;
            EXPECT_NE(lines[pos + 2].find("from a thread."), std::string::npos) << lines[pos + 2];
            ++blocks;
            pos = end;
        } else {
            EXPECT_TRUE(std::regex_match(lines[pos], std::regex(std::string(kStampPattern) + " Thread: between")))
                << lines[pos];
            ++singles;
            ++pos;
        }
    }
    EXPECT_EQ(blocks, 2 * kThrows);
    EXPECT_EQ(singles, 2 * kThrows);
}

// --- frame lines ---

TEST(ExceptionLoggerFormat, FrameLineTemplates) {
    StackFrameInfo f;
    f.offset = 0x1A2B;
    EXPECT_EQ(FormatFrameLine(f), "[00001A2B]");
    f.unit = "tellvane::TOptions";
    f.routine = "GetOption";
    EXPECT_EQ(FormatFrameLine(f), "[00001A2B] tellvane::TOptions.GetOption");
    f.sourceFile = "Options.cpp";
    f.line = 77;
    EXPECT_EQ(FormatFrameLine(f), "[00001A2B] tellvane::TOptions.GetOption (Line 77, \"Options.cpp\")");
    f.offset = 0x7F12345678AB;
    EXPECT_EQ(FormatFrameLine(f).substr(0, 14), "[7F12345678AB]");
    EXPECT_EQ(LogAddressText(0), "00000000");
}

TEST(ExceptionLoggerFormat, DescriptionIsCutAt1024Characters) {
    std::string d = ExceptionDescription("std::runtime_error", "tellvane", 0x4D2, "short");
    EXPECT_EQ(d, "Exception std::runtime_error in module tellvane at 000004D2.\r\nshort.\r\n");
    EXPECT_EQ(ExceptionDescription("E", "m", 1, "ends here."), "Exception E in module m at 00000001.\r\nends here.\r\n");
    std::string longText = ExceptionDescription("E", "m", 1, std::string(2000, 'x'));
    EXPECT_EQ(longText.size(), 1024u);
    EXPECT_EQ(longText.substr(0, 38), "Exception E in module m at 00000001.\r\n");
    EXPECT_EQ(longText.back(), 'x');
}

TEST(ExceptionLoggerFormat, SplitRoutineNameSeparatesQualifierAndRoutine) {
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(SplitRoutineName("main"), P("", "main"));
    EXPECT_EQ(SplitRoutineName("tellvane::TOptions::GetOption(std::__cxx11::basic_string<char, "
                               "std::char_traits<char>, std::allocator<char> > const&, bool) const"),
              P("tellvane::TOptions", "GetOption"));
    EXPECT_EQ(SplitRoutineName("void tellvane::Fill<int>(std::vector<int, std::allocator<int> >&)"),
              P("tellvane", "Fill<int>"));
    EXPECT_EQ(SplitRoutineName("std::vector<int, std::allocator<int> >::at(unsigned long)"),
              P("std::vector<int, std::allocator<int> >", "at"));
    EXPECT_EQ(SplitRoutineName("(anonymous namespace)::Helper(int)"), P("(anonymous namespace)", "Helper"));
    EXPECT_EQ(SplitRoutineName("tellvane::Run()::{lambda()#1}::operator()() const"),
              P("tellvane::Run()::{lambda()#1}", "operator()"));
    EXPECT_EQ(SplitRoutineName("tellvane::TKey::operator<<(int)"), P("tellvane::TKey", "operator<<"));
    EXPECT_EQ(SplitRoutineName("tellvane::TBuf::operator new(unsigned long)"), P("tellvane::TBuf", "operator new"));
    EXPECT_EQ(SplitRoutineName("ns::f(int) [clone .cold]"), P("ns", "f"));
    EXPECT_EQ(SplitRoutineName("std::__throw_out_of_range_fmt"), P("std", "__throw_out_of_range_fmt"));
}

TEST(ExceptionLoggerFormat, DescribeFrameFindsRoutineAndModule) {
    // One byte into the routine, as a return address would be.
    auto address = reinterpret_cast<uintptr_t>(&ThrowRuntimeError) + 1;
    StackFrameInfo info = DescribeFrame(address);
    EXPECT_EQ(info.module, "test_exceptionhook");
    EXPECT_EQ(info.routine, "ThrowRuntimeError");
    EXPECT_EQ(info.unit, "tellvane::(anonymous namespace)");
    EXPECT_LT(info.offset, address);
#ifndef NDEBUG
    EXPECT_EQ(info.sourceFile, "LoggerTest.cpp");
    EXPECT_GT(info.line, 0u);
#endif
}

}  // namespace
}  // namespace tellvane
