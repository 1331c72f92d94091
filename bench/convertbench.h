#ifndef CONVERTBENCH_H
#define CONVERTBENCH_H

#include <QString>

// qmstool convert of 30 s of a 1 kHz sine, 48 kHz stereo, as WAV, FLAC, MP3
// and AAC, against sox (against ffmpeg for AAC, which sox does not read):
// the time of each (ratio against the other tool), the sine's frequency and
// level in both results, and the peak memory of qmstool convert against a
// conversion of 0.1 s, for the WAV and the AAC file.
void RunConvertBench(const QString &folder, int rounds);

#endif // CONVERTBENCH_H
