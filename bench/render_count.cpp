// Renders the benchmarks' busy pattern for a fixed number of blocks, nothing else: run it under
// `valgrind --tool=callgrind` for a deterministic count of instructions per output sample, a
// steadier guide than wall time on a shared machine.
//   oxn3_render_count <re|311> <sample rate> [seconds]
// Without valgrind it prints ns per sample as a rough check.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "BusyVoice.h"

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s <re|311> <sample rate> [seconds]\n", argv[0]);
        return 2;
    }
    const bool classic = std::strcmp(argv[1], "311") == 0;
    const double sampleRate = std::atof(argv[2]);
    const double seconds = argc > 3 ? std::atof(argv[3]) : 2.0;
    constexpr int kBlockSize = 256;

    auto synth = oxn3bench::makeBusyVoice(sampleRate);

    std::vector<float> block(kBlockSize);
    const long blocks = static_cast<long>(seconds * sampleRate / kBlockSize);
    double sum = 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (long b = 0; b < blocks; ++b)
    {
        if (classic)
            synth->render311<false>(block.data(), kBlockSize);
        else
            synth->renderRE<false>(block.data(), kBlockSize);
        sum += block[b % kBlockSize];
    }
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    std::printf("samples %ld  ns/sample %.1f  (checksum %g)\n", blocks * kBlockSize, ns / (blocks * kBlockSize), sum);
    return 0;
}
