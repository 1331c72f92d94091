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

// What the check of one WAV file found.
struct WaveCheck
{
    int Result = WaveStatus::NoFileChosen; // the slot size, or a WaveStatus code
    QString Reason;                        // why it was refused, in plain words
    quint32 DataLength = 0;                // the sample bytes of an accepted file
};

// Checks the header of the WAV file at `path`: the slot size the layer would
// take in the sound file (1024 to 3141632, a multiple of 512), or one of the
// WaveStatus codes with the reason. Only a regular file can be a layer:
// anything else is refused with CannotOpen without waiting on it, as is a
// file name that holds a line break (names are stored one per line). Reads at
// most the 44 header bytes, whatever the size of the file; writes each step
// to the debug output.
WaveCheck CheckWaveFile(const QString &path);

// CheckWaveFile() without the reason.
int ReadWaveFile(const QString &path);

#endif // WAVEFILEREADER_H
