// The .enc body loop over a file in the page cache: overlapped reader and writer threads against
// reading, ciphering and writing in turn, for a fast cipher (RIJ, AES-192) and a slow one (3DE).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "crypto/BlockCipher.h"
#include "crypto/CipherFactory.h"
#include "crypto/EncFileIO.h"
#include "crypto/PartLoop.h"

namespace {

using namespace tellvane;

constexpr int64_t FileBytes = int64_t(256) << 20;

const std::string& SourceFile() {
    static const std::string path = [] {
        std::string p = "/var/tmp/tellvane-part-loop-bench.bin";
        const int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<uint8_t> chunk(1 << 20);
        uint32_t x = 12345;
        for (int64_t done = 0; done < FileBytes; done += static_cast<int64_t>(chunk.size())) {
            for (auto& b : chunk) b = static_cast<uint8_t>((x = x * 1664525 + 1013904223) >> 24);
            if (write(fd, chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size())) std::abort();
        }
        close(fd);
        std::atexit([] { unlink("/var/tmp/tellvane-part-loop-bench.bin"); });
        return p;
    }();
    return path;
}

void BM_PartLoop(benchmark::State& state, const char* sign, bool overlapped) {
    const std::string& source = SourceFile();
    auto cipher = CreateCipher(sign);
    cipher->InitStr("bench");
    for (auto _ : state) {
        TInputFile in(source);
        TOutputFile out(source + ".out");
        TPartLoopJob job;
        job.input = &in;
        job.output = &out;
        job.totalSize = FileBytes;
        job.blockBytes = cipher->GetBlockSize() / 8;
        job.transform = [&](uint8_t* d, size_t n) { cipher->Encrypt(d, d, n); };
        job.overlapped = overlapped;
        if (!ProcessInParts(job)) state.SkipWithError("halted");
        // Discarded, not committed: the page cache is what is measured, not the disk.
    }
    state.SetBytesProcessed(state.iterations() * FileBytes);
}

BENCHMARK_CAPTURE(BM_PartLoop, RIJ_overlapped, "RIJ", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_PartLoop, RIJ_serial, "RIJ", false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_PartLoop, BFS_overlapped, "BFS", true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_PartLoop, BFS_serial, "BFS", false)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
