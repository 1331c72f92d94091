#ifndef STANDARDSTREAMS_H
#define STANDARDSTREAMS_H

#include <QString>

// "-" for standard input or output, as audio tools take it. Every check of a
// source runs on a regular file, so standard input is first saved into one,
// and a copy meant for standard output is written into one and then sent.

// The most bytes taken from standard input: more than any source that fits
// a layer needs (35.6 s of 8 channels of 32-bit samples at 768 kHz).
constexpr qint64 MaxStandardInput = qint64(1) << 30;

// Copies standard input into a new file at `path` (readable by its owner
// alone). False, with the reason in `error`, when standard input is a
// terminal, cannot be read, holds more than MaxStandardInput bytes, or the
// file cannot be written.
bool SaveStandardInput(const QString &path, QString &error);

// Copies the file at `path` to standard output. False, with the reason in
// `error`, when it cannot be read or standard output written.
bool SendToStandardOutput(const QString &path, QString &error);

#endif // STANDARDSTREAMS_H
