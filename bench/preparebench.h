#ifndef PREPAREBENCH_H
#define PREPAREBENCH_H

#include <QString>

// ConvertAudioFile of 30 s of a 1 kHz sine, 48 kHz stereo 24-bit WAV, with
// every preparation at once (trim, 50 ms fades, fit, a loudness) against the
// same conversion with nothing prepared, in this process: turned down to -16
// LUFS, and turned up to -3 LUFS into the -1 dBTP ceiling. Wall and processor
// time, and their ratios against the plain conversion.
void RunPrepareBench(const QString &folder, int rounds);

#endif // PREPAREBENCH_H
