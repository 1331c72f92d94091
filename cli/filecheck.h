#ifndef FILECHECK_H
#define FILECHECK_H

#include "audio/audioformat.h"
#include "core/layercheck.h"

#include <QJsonObject>
#include <QString>

// What qmstool check finds of one file: the window's verdict, and what the
// file is when that is known.
struct FileCheck
{
    QString Path;
    LayerCheck Check;   // refused: the reason says what an audio file really is
    AudioFormat Format; // when FormatKnown
    bool FormatKnown = false;
    bool Convertible = false; // refused, but qmstool convert makes a copy that can be a layer
};

// Checks the file at `path` as the window's add action does; for an audio
// file that is refused, finds out what it is.
FileCheck CheckFile(const QString &path);

// The verdict in words: "1.50 s, slot 132608 bytes", or the status code, the
// window's message and the reason ("-4 "File Error": WAV, 48000 Hz, ...").
QString FileCheckText(const FileCheck &check);

// The same as JSON: file, status (0 for a file that can be a layer, else
// -1 to -6), slot_size or message, reason and convertible, format and seconds
// when known.
QJsonObject FileCheckJson(const FileCheck &check);

// Whether the file at `path` starts as a WAV file does ("RIFF", a length,
// "WAVE").
bool IsWaveFile(const QString &path);

#endif // FILECHECK_H
