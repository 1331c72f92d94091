#ifndef SOUNDFILEWRITER_H
#define SOUNDFILEWRITER_H

#include "soundjob.h"

// Outcomes of WriteSoundFile().
namespace SoundFileStatus {
constexpr int Written = 0;
constexpr int CannotCreate = -1;  // the output cannot be created
constexpr int OverCapacity = -2;  // header and slots exceed 3145728 bytes
constexpr int WriteFailed = -3;   // a write to the output failed (disk full, I/O error)
constexpr int LayerUnusable = -4; // a layer's WAV file cannot be read or outgrew its slot
constexpr int OutputIsLayer = -5; // the output would replace one of the layers' WAV files
} // namespace SoundFileStatus

// Writes the sound file that `job` describes to job.FilePath and returns a
// SoundFileStatus code. The file appears only when it is complete: on any
// failure whatever stood at that path before is left untouched and no
// temporary file stays behind. Each layer's samples are read again from its
// WAV file (from byte 44, as long as the length at byte 40 says) and padded
// with zeros to its slot size. Holds at most the header, one layer's samples
// and a 512-byte padding buffer.
int WriteSoundFile(SoundJob job);

#endif // SOUNDFILEWRITER_H
