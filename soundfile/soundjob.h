#ifndef SOUNDJOB_H
#define SOUNDJOB_H

#include "core/limits.h"

#include <QString>

struct LayerTable;

// Everything the writer needs for one sound file: a snapshot of the layer
// table, passed by value. Entry k describes layer k + 1; entries at or beyond
// Count are empty ("" and size 0), but all eight thresholds are carried.
struct SoundJob
{
    QString FilePath;
    QString FileName;
    QString Paths[Limits::LayerCount];
    QString Names[Limits::LayerCount];
    qint32 Sizes[Limits::LayerCount] = {};
    qint32 Count = 0;
    qint32 Thresholds[Limits::LayerCount] = {};
};

// The writer's input for the table as it stands: loaded layers copied,
// empty ones blanked ("" and size 0), all eight thresholds copied as they are.
SoundJob MakeSoundJob(const LayerTable &table);

#endif // SOUNDJOB_H
