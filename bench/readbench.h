#ifndef READBENCH_H
#define READBENCH_H

#include <QString>

// ReadWaveFile on a 3 MB file against a 1 KB file, in `folder`: prints the
// median time per call of each and their ratio.
void RunReadBench(const QString &folder, int rounds);

#endif // READBENCH_H
