#ifndef CONVERTBENCH_H
#define CONVERTBENCH_H

#include <QString>

// qmstool convert against sox on a 30 s, 48 kHz, stereo, 24-bit WAV file
// with a 1 kHz sine: the time of each (ratio against sox), the sine's
// frequency and level in both results, and the peak memory of qmstool
// convert against a conversion of 0.1 s.
void RunConvertBench(const QString &folder, int rounds);

#endif // CONVERTBENCH_H
