#ifndef WAVEREFUSAL_H
#define WAVEREFUSAL_H

#include <QString>

struct LayerCheck;

// One line on why a WAV file was refused: the status code, the text the
// window shows for it, and the plain reason, e.g.
//   -4 "File Error": sample rate 48000 Hz, needs 44100 Hz
QString DescribeWaveRefusal(const LayerCheck &check);

// How a WAV path given on the command line is shown: as it was given, with
// control characters escaped, or "" when it is empty.
QString DisplayedPath(const QString &path);

#endif // WAVEREFUSAL_H
