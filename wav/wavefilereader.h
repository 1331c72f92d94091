#ifndef WAVEFILEREADER_H
#define WAVEFILEREADER_H

#include "core/layercheck.h"

#include <QString>

// Checks the header of the WAV file at `path`: the slot size the layer would
// take in the sound file (from the smallest to the largest slot, a whole
// number of slot units), or the status that refuses it with the reason. Only
// a regular file can be a layer: anything else is refused with CannotOpen
// without waiting on it, as is a file name that holds a line break (names
// are stored one per line). Reads at most the 44 header bytes, whatever the
// size of the file; writes each step to the debug output.
LayerCheck CheckWaveFile(const QString &path);

// CheckWaveFile() as a number: the slot size, or the status code -1 to -6.
int ReadWaveFile(const QString &path);

#endif // WAVEFILEREADER_H
