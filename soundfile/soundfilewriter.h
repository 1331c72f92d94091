#ifndef SOUNDFILEWRITER_H
#define SOUNDFILEWRITER_H

#include "soundjob.h"

#include <QString>

// Outcomes of WriteSoundFile().
namespace SoundFileStatus {
constexpr int Written = 0;
constexpr int CannotCreate = -1;  // the output cannot be created
constexpr int OverCapacity = -2;  // header and slots exceed 3145728 bytes
constexpr int WriteFailed = -3;   // a write to the output failed (disk full, I/O error)
constexpr int LayerUnusable = -4; // a layer's WAV file cannot be read or is no longer as checked
constexpr int OutputIsLayer = -5; // the output would replace one of the layers' WAV files
} // namespace SoundFileStatus

// What WriteSoundFile() did, beyond its status: the layer involved in a
// failure and the cause as it was met.
struct WriteReport
{
    int Status = SoundFileStatus::Written;
    int Layer = 0;           // the layer (1 to 8) a failure concerns, 0 for none
    QString Error;           // the cause, in plain words or the system's own text
    qint64 BytesWritten = 0; // the length of the file written
};

// Writes the sound file that `job` describes to job.FilePath and returns a
// SoundFileStatus code; `report`, when given, receives the details. The file
// appears only when it is complete and on the disk: on any failure whatever
// stood at that path before is left untouched and no temporary file stays
// behind. Only a regular file is ever replaced. Each layer's WAV file is
// opened again and checked on the very descriptor its samples are read from:
// one the WAV check would not accept now with the same slot size is refused.
// Its samples (from byte 44, as long as the length at byte 40 says) are
// padded with zeros to the slot size. Holds at most the header and a few
// buffers of 64 KiB.
int WriteSoundFile(SoundJob job, WriteReport *report = nullptr);

#endif // SOUNDFILEWRITER_H
