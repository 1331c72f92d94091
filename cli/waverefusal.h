#ifndef WAVEREFUSAL_H
#define WAVEREFUSAL_H

#include <QString>

// One line on why the WAV file at `path` was refused with `status` (the
// reader's -1 to -6): the status code, the text the window shows for it, and
// a plain reason, e.g.
//   -4 "File Error": sample rate 48000 Hz, needs 44100 Hz
// For -3 to -5 the header is read again to tell which field failed.
QString DescribeWaveRefusal(const QString &path, int status);

// The same for a layer of `size` bytes refused because the layers before it
// already use `used` bytes (-7).
QString DescribeCapacityRefusal(qint64 used, qint64 size);

// How a WAV path given on the command line is shown: as it was given, or ""
// when it is empty.
QString DisplayedPath(const QString &path);

#endif // WAVEREFUSAL_H
