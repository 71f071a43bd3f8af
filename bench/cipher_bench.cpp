// Throughput of the eighteen ciphers in the modes the files use (CBC through Encrypt/Decrypt on
// 8 KiB parts, as the stream front end feeds them) and the cost of one pass-phrase keying.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "crypto/CipherFactory.h"

namespace {

using tellvane::CipherFactoryTable;
using tellvane::CreateCipher;

constexpr size_t PartBytes = 8192;
constexpr size_t TotalBytes = 1 << 20;

void EncryptCbc(benchmark::State& state, std::string sign) {
    auto cipher = CreateCipher(sign);
    cipher->InitStr("benchmark pass phrase");
    std::vector<uint8_t> data(TotalBytes, 0x5A);
    for (auto _ : state) {
        for (size_t pos = 0; pos < TotalBytes; pos += PartBytes) cipher->Encrypt(&data[pos], &data[pos], PartBytes);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalBytes));
}

void DecryptCbc(benchmark::State& state, std::string sign) {
    auto cipher = CreateCipher(sign);
    cipher->InitStr("benchmark pass phrase");
    std::vector<uint8_t> data(TotalBytes, 0x5A);
    for (auto _ : state) {
        for (size_t pos = 0; pos < TotalBytes; pos += PartBytes) cipher->Decrypt(&data[pos], &data[pos], PartBytes);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalBytes));
}

void KeyFromPassPhrase(benchmark::State& state, std::string sign) {
    auto cipher = CreateCipher(sign);
    for (auto _ : state) {
        cipher->InitStr("benchmark pass phrase");
        cipher->Burn();
    }
}

const bool registered = [] {
    for (const auto& entry : CipherFactoryTable()) {
        const std::string sign(entry.Sign);
        benchmark::RegisterBenchmark(("EncryptCbc/" + sign).c_str(), EncryptCbc, sign);
        benchmark::RegisterBenchmark(("DecryptCbc/" + sign).c_str(), DecryptCbc, sign);
        benchmark::RegisterBenchmark(("KeyFromPassPhrase/" + sign).c_str(), KeyFromPassPhrase, sign);
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
