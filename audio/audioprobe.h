#ifndef AUDIOPROBE_H
#define AUDIOPROBE_H

#include "audioformat.h"

#include <QString>

// What the audio file at `path` really is; false, with `reason`, when it
// cannot be decoded. A length that the file does not state exactly is found
// by decoding it, no further than a layer holds: past that, the format says
// only that it is longer.
bool ProbeAudioFile(const QString &path, AudioFormat &format, QString *reason = nullptr);

#endif // AUDIOPROBE_H
