#ifndef WAVEFILEREADER_H
#define WAVEFILEREADER_H

#include <QString>

// Outcomes of ReadWaveFile() other than a slot size.
namespace WaveStatus {
constexpr int NoFileChosen = -1;
constexpr int CannotOpen = -2;
constexpr int NoDataChunk = -3;
constexpr int UnsupportedFormat = -4;
constexpr int DataLengthOutOfRange = -5;
constexpr int NameTooLong = -6;
} // namespace WaveStatus

// The longest file name (in UTF-16 code units) a layer may have.
constexpr int MaxLayerNameLength = 80;

// Checks the header of the WAV file at `path` and returns the slot size the
// layer would take in the sound file (1024 to 3141632, a multiple of 512), or
// one of the WaveStatus codes. Reads at most the 44 header bytes, whatever
// the size of the file; writes each step to the debug output.
int ReadWaveFile(const QString &path);

#endif // WAVEFILEREADER_H
