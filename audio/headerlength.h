#ifndef HEADERLENGTH_H
#define HEADERLENGTH_H

#include <QtGlobal>

class InputFile;

// The frames that the header of a WAV or AIFF file claims, whatever the file
// still holds: its data chunk's length over the format chunk's block size
// (WAV, RIFF or RIFX, of samples of a fixed size: `uncompressed`), or its
// COMM chunk's frame count (AIFF, AIFF-C). -1 when the file is neither, or
// its header leaves the length open (0 or all ones, as streaming writers
// do).
qint64 HeaderFrames(InputFile &file, bool uncompressed);

#endif // HEADERLENGTH_H
