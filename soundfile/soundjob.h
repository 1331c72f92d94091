#ifndef SOUNDJOB_H
#define SOUNDJOB_H

#include <QString>

// Everything the writer needs for one sound file: a snapshot of the layer
// table, passed by value. Entry k describes layer k + 1; entries at or beyond
// Count are empty ("" and size 0), but all eight thresholds are carried.
struct SoundJob
{
    static constexpr int MaxLayers = 8;

    QString FilePath;
    QString FileName;
    QString Paths[MaxLayers];
    QString Names[MaxLayers];
    qint32 Sizes[MaxLayers] = {};
    qint32 Count = 0;
    qint32 Thresholds[MaxLayers] = {};
};

#endif // SOUNDJOB_H
