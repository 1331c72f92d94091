#ifndef TRUEPEAK_H
#define TRUEPEAK_H

#include <QtGlobal>

// The most libebur128's true peak lies over the sample peak, in dB, with
// room to spare: its oversampler (4 times below 96 kHz, 2 times below 192
// kHz) is a 49-tap windowed sinc, whose coefficients of one phase add up to
// at most 1.864 (5.4 dB).
constexpr double MostOverSamplePeak = 6;

// The true peak (dBTP) of `count` finite mono samples at `sampleRate`,
// exactly as libebur128 measures it over all of them, when it reaches
// `level` (dBTP); else a figure under `level` (-infinity when nothing was
// measured). Only blocks that can hold such a peak are measured: those whose
// sample peak, raised by the most the oversampler can add, reaches both
// `level` and the highest true peak found so far, loudest first, on two
// threads. Each block is given to libebur128 after the samples just before
// it, so that its oversampler holds what it would hold at that point of the
// whole sound.
double TruePeakReaching(const float *samples, qint64 count, int sampleRate, double level);

#endif // TRUEPEAK_H
