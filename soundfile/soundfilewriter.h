#ifndef SOUNDFILEWRITER_H
#define SOUNDFILEWRITER_H

#include "soundjob.h"

#include <QString>

// How WriteSoundFile() ended.
enum class WriteStatus {
    Written,
    CannotCreate,  // the output cannot be created
    OverCapacity,  // header and slots exceed the capacity
    WriteFailed,   // a write to the output failed (disk full, I/O error)
    LayerUnusable, // a layer's WAV file cannot be read or is no longer as checked
    OutputIsLayer, // the output would replace one of the layers' WAV files
};

// What WriteSoundFile() did: its status, the layer involved in a failure and
// the cause as it was met.
struct WriteReport
{
    WriteStatus Status = WriteStatus::Written;
    int Layer = 0;           // the layer (1 to 8) a failure concerns, 0 for none
    QString Error;           // the cause, in plain words or the system's own text
    qint64 BytesWritten = 0; // the length of the file written

    bool Written() const { return Status == WriteStatus::Written; }
};

// Writes the sound file that `job` describes to job.FilePath. The file
// appears only when it is complete and on the disk: on any failure whatever
// stood at that path before is left untouched and no temporary file stays
// behind. Only a regular file is ever replaced. Each layer's WAV file is
// opened again and checked on the very descriptor its samples are read from:
// one the WAV check would not accept now with the same slot size is refused.
// Its samples (from byte 44, as long as the length at byte 40 says) are
// padded with zeros to the slot size. Holds at most the header and a few
// buffers of 64 KiB.
WriteReport WriteSoundFile(const SoundJob &job);

#endif // SOUNDFILEWRITER_H
