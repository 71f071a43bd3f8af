// Seconds of the work that spreads over the cores: decrypting 256 MiB of Blowfish and encrypting
// 16 MiB "All at once", the median of RUNS runs each, with the peak memory and how soon a halt is
// heard. bench/every_core.sh runs it once held to one core and once free, in one go.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "crypto/CorePool.h"
#include "crypto/CryptoAlgorithms.h"
#include "platform/Clock.h"

namespace {

using namespace tellvane;

void MakeFile(const std::string& path, int64_t bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<uint8_t> chunk(1 << 20);
    uint32_t x = 12345;
    for (int64_t done = 0; done < bytes; done += static_cast<int64_t>(chunk.size())) {
        for (auto& b : chunk) b = static_cast<uint8_t>((x = x * 1664525 + 1013904223) >> 24);
        const auto n = static_cast<size_t>(std::min<int64_t>(bytes - done, static_cast<int64_t>(chunk.size())));
        if (write(fd, chunk.data(), n) != static_cast<ssize_t>(n)) std::abort();
    }
    close(fd);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double Time(F f) {
    const double t0 = CounterSeconds();
    if (!f()) std::abort();
    return CounterSeconds() - t0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/var/tmp";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    CreateAlgorithms();
    TCryptoAlgorithm& bfs = *FindAlgorithmBySign("BFS");
    TCryptoAlgorithm& all = *FindAlgorithmBySign("ALL");
    const std::string big = dir + "/tellvane-cores-big.bin", small = dir + "/tellvane-cores-small.bin";
    constexpr int64_t BigBytes = int64_t(256) << 20, SmallBytes = int64_t(16) << 20;
    MakeFile(big, BigBytes);
    MakeFile(small, SmallBytes);
    if (!bfs.Encrypt(big, "bench", nullptr, nullptr, nullptr)) return 1;
    unlink(big.c_str());

    std::vector<double> decrypt, cascade;
    for (int i = 0; i < runs; ++i) {
        decrypt.push_back(Time([&] { return bfs.Decrypt(big + ".enc", "bench", nullptr, nullptr, nullptr); }));
        unlink(big.c_str());
        SetAlgorithmPassCount(18);
        cascade.push_back(Time([&] { return all.Encrypt(small, "bench", nullptr, nullptr, nullptr); }));
        SetAlgorithmPassCount(1);
        unlink((small + ".enc").c_str());
    }
    // Cancel: the halt is asked for half a second in; the seconds until the pass gives up.
    double haltAt = 0;
    const double started = CounterSeconds();
    bfs.Decrypt(big + ".enc", "bench", [&] {
        if (CounterSeconds() - started < 0.5) return false;
        if (haltAt == 0) haltAt = CounterSeconds();
        return true;
    }, nullptr, nullptr);
    const double haltLatency = CounterSeconds() - haltAt;
    unlink((big + ".enc").c_str());
    unlink(small.c_str());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("cores %u\n", CoreCount());
    std::printf("decrypt_bfs_256MiB_seconds %.3f\n", Median(decrypt));
    std::printf("all_at_once_16MiB_seconds %.3f\n", Median(cascade));
    std::printf("halt_seconds %.3f\n", haltLatency);
    std::printf("peak_rss_MiB %.1f\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
