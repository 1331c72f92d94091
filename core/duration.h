#ifndef DURATION_H
#define DURATION_H

#include <QString>

// The seconds that `bytes` of a layer's samples last (core/limits.h: 44100
// Hz, 16-bit, mono).
double SecondsOfBytes(qint64 bytes);

// The most sound all layers together hold: that of the largest slot, the
// 100 % of the available-space bar (35.62 s).
double SecondsOfSpace();

// The longest sound that can still join layers whose slots take `used`
// bytes: the largest data length whose slot still fits the capacity.
double SecondsFree(qint64 used);

// A duration for messages, to the hundredth: "2.50 s".
QString SecondsText(double seconds);

#endif // DURATION_H
