#ifndef DURATION_H
#define DURATION_H

#include <QString>

// The seconds that `bytes` of a layer's samples last (core/limits.h: 44100
// Hz, 16-bit, mono).
double SecondsOfBytes(qint64 bytes);

// A duration for messages, to the hundredth: "2.50 s".
QString SecondsText(double seconds);

#endif // DURATION_H
