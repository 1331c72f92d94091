#ifndef LAYERTABLE_H
#define LAYERTABLE_H

#include "limits.h"

#include <QString>

// The state every action of the editor shares: the loaded layers, their slot
// sizes and thresholds, the selected layer and the capacity in use.
//
// Two index bases: LayerPath, LayerName and LayerSize are indexed by slot
// (layer N lives in slot N - 1); LayerThreshold is indexed by the layer
// number N itself (1 to 8), its entry 0 is unused.
//
// Loaded layers are always layers 1 to LayerCount. Slots at or beyond
// LayerCount carry no meaning and may keep the values of a removed or refused
// layer; MakeSoundJob() (soundfile/soundjob.h) blanks them.
struct LayerTable
{
    qint32 LayerCount = 0;
    QString LayerPath[Limits::LayerCount];
    QString LayerName[Limits::LayerCount];
    qint32 LayerSize[Limits::LayerCount] = {};
    qint32 LayerThreshold[Limits::LayerCount + 1] = {};
    qint32 SelectedLayer = 0;
    qint32 UsedSpace = 0;
    QString SoundFilePath;
    QString SoundFileName;

    // The reset done when the main window is built: no layers, threshold of
    // layer 1 set to 1, sizes, paths and names cleared. SelectedLayer, the
    // other thresholds and the sound file's path and name are left alone.
    void Reset();
};

// The one layer table of the process.
extern LayerTable Layers;

// True when a layer of slot size `size` may join layers that use `used`
// bytes: the sum may reach the capacity limit but not exceed it.
bool FitsCapacity(qint64 used, qint64 size);

// What the available-space bar shows for `used` bytes in use: the share of
// the largest slot that is left.
int AvailableSpacePercent(qint32 used);

// The characters of `path` after its last '/', or the whole path when it has
// none. A backslash is not a separator.
QString LayerNameOf(const QString &path);

// The first `length` UTF-16 code units of `name`, without half a surrogate
// pair: a name cut to fit a limit.
QString CutName(const QString &name, int length);

#endif // LAYERTABLE_H
