#ifndef MEMORYBENCH_H
#define MEMORYBENCH_H

#include <QString>
#include <QStringList>

// The peak memory (max RSS) of `qmstool build` on the full-capacity job
// against a one-layer 1 KB job, each in a child process; prints both and the
// difference.
void RunMemoryBench(const QString &folder, int runs);

// The median over `runs` of the peak memory of qmstool with `arguments`,
// each run in a child process, as GNU time reports it; `folder` takes its
// report.
long MedianPeakKiB(const QString &folder, const QStringList &arguments, int runs);

#endif // MEMORYBENCH_H
