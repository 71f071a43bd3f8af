// Speed of the wiping passes' byte generators over one 64 KiB chunk, the unit the pass driver
// hands them.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "shred/CharGenerators.h"
#include "shred/KISSRandomGenerator.h"

namespace {

using namespace tellvane;

constexpr size_t kChunk = 65536;

// The random pass as the driver runs it: one call per chunk.
void BM_RandomGeneratorBlock(benchmark::State& state) {
    std::vector<uint8_t> buf(kChunk);
    TRandomGenerator g(0, 255);
    for (auto _ : state) {
        g.GenerateBlock(buf.data(), buf.size());
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_RandomGeneratorBlock);

// The same bytes through the one-draw-at-a-time loop, for comparison.
void BM_RandomSerialLoop(benchmark::State& state) {
    std::vector<uint8_t> buf(kChunk);
    for (auto _ : state) {
        KISSFillBelow255Serial(buf.data(), buf.size());
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_RandomSerialLoop);

// The per-byte definition: a virtual Generate call for every byte.
void BM_RandomGeneratePerByte(benchmark::State& state) {
    std::vector<uint8_t> buf(kChunk);
    std::unique_ptr<TCharGenerator> g = std::make_unique<TRandomGenerator>(0, 255);
    for (auto _ : state) {
        for (auto& b : buf) b = g->Generate(b);
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_RandomGeneratePerByte);

void BM_PatternGeneratorBlock(benchmark::State& state) {
    std::vector<uint8_t> buf(kChunk);
    THexGenerator g(0x92);
    g.AddChar(0x49);
    g.AddChar(0x24);
    for (auto _ : state) {
        g.GenerateBlock(buf.data(), buf.size());
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_PatternGeneratorBlock);

void BM_InvertGeneratorBlock(benchmark::State& state) {
    std::vector<uint8_t> buf(kChunk, 0x5A);
    TInvertGenerator g;
    for (auto _ : state) {
        g.GenerateBlock(buf.data(), buf.size());
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunk);
}
BENCHMARK(BM_InvertGeneratorBlock);

}  // namespace

BENCHMARK_MAIN();
