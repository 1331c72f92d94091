#include "readbench.h"

#include "benchfiles.h"
#include "measure.h"

#include "core/limits.h"
#include "wav/wavefilereader.h"

#include <cstdio>

void RunReadBench(const QString &folder, int rounds)
{
    const QString large =
        BenchFiles::WriteWave(folder, QStringLiteral("large.wav"), Limits::MaxDataLength);
    const QString small = BenchFiles::WriteWave(folder, QStringLiteral("small.wav"), 1000);
    constexpr int CallsPerRound = 200;
    auto batch = [](const QString &path) {
        return [path] {
            for (int i = 0; i < CallsPerRound; ++i) {
                if (ReadWaveFile(path) <= 0)
                    qFatal("ReadWaveFile refused %s", qPrintable(path));
            }
        };
    };
    batch(large)(), batch(small)();
    const std::vector<double> ms = MedianMilliseconds({batch(large), batch(small)}, rounds);

    std::printf("ReadWaveFile, median of %d rounds of %d calls:\n", rounds, CallsPerRound);
    std::printf("  3 MB file (3141675 bytes)               %8.2f us per call\n",
                ms[0] * 1000 / CallsPerRound);
    std::printf("  1 KB file (1044 bytes, baseline)        %8.2f us per call\n",
                ms[1] * 1000 / CallsPerRound);
    std::printf("  ratio 3 MB / 1 KB                       %8.2f   (goal: about 1)\n",
                ms[0] / ms[1]);
}
