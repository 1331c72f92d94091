#ifndef MEMORYBENCH_H
#define MEMORYBENCH_H

#include <QString>

// The peak memory (max RSS) of `qmstool build` on the full-capacity job
// against a one-layer 1 KB job, each in a child process; prints both and the
// difference.
void RunMemoryBench(const QString &folder, int runs);

#endif // MEMORYBENCH_H
