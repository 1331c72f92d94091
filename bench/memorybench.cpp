#include "memorybench.h"

#include "benchfiles.h"
#include "measure.h"

#include "core/limits.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The max RSS in KiB of one run of qmstool with `arguments`, as GNU time
// reports it. Measured from that small intermediate process: a child forked
// or spawned from this one would carry this process's own peak into its
// figure through exec.
long peakKiB(const QString &folder, const QStringList &arguments)
{
    const QString report = QDir(folder).filePath(QStringLiteral("rss.txt"));
    const int status =
        RunQuietly(QStringLiteral("/usr/bin/time"),
                   QStringList{QStringLiteral("-f"), QStringLiteral("%M"), QStringLiteral("-o"),
                               report, QStringLiteral(QMSTOOL_PATH)} +
                       arguments);
    if (status != 0)
        qFatal("qmstool %s failed, or /usr/bin/time (Debian package time) is missing",
               qPrintable(arguments.value(0)));
    QFile file(report);
    bool ok = false;
    const long peak = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLong(&ok) : 0;
    if (!ok)
        qFatal("no figure from /usr/bin/time");
    return peak;
}

} // namespace

long MedianPeakKiB(const QString &folder, const QStringList &arguments, int runs)
{
    std::vector<long> peaks;
    for (int i = 0; i < runs; ++i)
        peaks.push_back(peakKiB(folder, arguments));
    std::sort(peaks.begin(), peaks.end());
    return peaks[peaks.size() / 2];
}

void RunMemoryBench(const QString &folder, int runs)
{
    const QDir dir(folder);
    const QString out = dir.filePath(QStringLiteral("memory.qms"));
    const QStringList full = BenchFiles::FullCapacityLayers(folder);
    const QString small = BenchFiles::WriteWave(folder, QStringLiteral("one-kb.wav"), 1000);
    const QString largest =
        BenchFiles::WriteWave(folder, QStringLiteral("largest.wav"), Limits::MaxDataLength);
    const QStringList build{QStringLiteral("build"), QStringLiteral("-o"), out};

    const long fullPeak = MedianPeakKiB(folder, build + full, runs);
    const long smallPeak = MedianPeakKiB(folder, build + QStringList{small}, runs);
    const long largestPeak = MedianPeakKiB(folder, build + QStringList{largest}, runs);

    std::printf("qmstool build, peak memory (max RSS), median of %d runs:\n", runs);
    std::printf("  full capacity, 8 layers                 %8ld KiB\n", fullPeak);
    std::printf("  one layer of 1 KB (baseline)            %8ld KiB\n", smallPeak);
    std::printf("  difference                              %8.2f MiB   (goal: at most 4 MiB)\n",
                double(fullPeak - smallPeak) / 1024);
    std::printf("  one layer of 3 MB, the largest read     %8ld KiB   (+%.2f MiB)\n", largestPeak,
                double(largestPeak - smallPeak) / 1024);
}
