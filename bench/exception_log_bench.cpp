// Cost of the diagnostic log: a throw through the runtime hook with the log off and on, one log line
// through the writer, and one line appended to the file.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <unistd.h>

#include "base/Logger.h"
#include "exceptionhook/ExceptionLogger.h"
#include "platform/AppFolders.h"
#include "platform/CommandLine.h"

namespace {

using namespace tellvane;

[[gnu::noinline]] void Thrower(int depth) {
    if (depth == 0) throw std::runtime_error("benchmark");
    Thrower(depth - 1);
    benchmark::ClobberMemory();
}

void ThrowCatch(benchmark::State& state, bool logOn) {
    InstallExceptionLogger();
    SetLogEnabled(logOn);
    SetLogLineWriter([](const std::string& line) { benchmark::DoNotOptimize(line.data()); });
    for (auto _ : state) {
        try {
            Thrower(static_cast<int>(state.range(0)));
        } catch (const std::exception& e) {
            benchmark::DoNotOptimize(e.what());
        }
    }
    SetLogEnabled(false);
    SetLogLineWriter({});
}

void BM_ThrowLogOff(benchmark::State& state) { ThrowCatch(state, false); }
void BM_ThrowLogOn(benchmark::State& state) { ThrowCatch(state, true); }
BENCHMARK(BM_ThrowLogOff)->Arg(0)->Arg(16);
BENCHMARK(BM_ThrowLogOn)->Arg(0)->Arg(16);

void BM_LogLineToWriter(benchmark::State& state) {
    SetLogEnabled(true);
    SetLogLineWriter([](const std::string& line) { benchmark::DoNotOptimize(line.data()); });
    for (auto _ : state) Log("SetFileAttributes failed Error 5: Access is denied", "CoreHide");
    SetLogEnabled(false);
    SetLogLineWriter({});
}
BENCHMARK(BM_LogLineToWriter);

void BM_WriteLogLineToFile(benchmark::State& state) {
    char folder[] = "/tmp/tellvane-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    SetDataFolder(folder);
    SetCommandLine(std::vector<std::string>{"bench"});
    InitLogger("-debug");
    for (auto _ : state) WriteLogLine("SetFileAttributes failed Error 5: Access is denied");
    unlink(LogFileName().c_str());
    rmdir(folder);
}
BENCHMARK(BM_WriteLogLineToFile);

}  // namespace

BENCHMARK_MAIN();
