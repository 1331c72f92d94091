#ifndef LAYERTABLE_H
#define LAYERTABLE_H

#include <QString>

struct SoundJob;

// The state every action of the editor shares: the loaded layers, their slot
// sizes and thresholds, the selected layer and the capacity in use.
//
// Two index bases: LayerPath, LayerName and LayerSize are indexed by slot
// (layer N lives in slot N - 1); LayerThreshold is indexed by the layer
// number N itself (1 to 8), its entry 0 is unused.
//
// Loaded layers are always layers 1 to LayerCount. Slots at or beyond
// LayerCount carry no meaning and may keep the values of a removed or refused
// layer; MakeSoundJob() blanks them.
struct LayerTable
{
    static constexpr int MaxLayers = 8;
    // Limit for the sum of slot sizes (and for the whole sound file).
    static constexpr qint32 CapacityLimit = 3145728;
    // Divisor of the available-space percentage: the largest slot size.
    static constexpr qint32 PercentDivisor = 3141632;
    static constexpr qint32 ThresholdCeiling = 126;
    // Sample bytes in a second of a layer: 44100 Hz, 16-bit, mono.
    static constexpr int BytesPerSecond = 88200;
    // Status of an addition refused for lack of space.
    static constexpr int NotEnoughSpace = -7;

    qint32 LayerCount = 0;
    QString LayerPath[MaxLayers];
    QString LayerName[MaxLayers];
    qint32 LayerSize[MaxLayers] = {};
    qint32 LayerThreshold[MaxLayers + 1] = {};
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

// What the available-space bar shows for `used` bytes in use.
int AvailableSpacePercent(qint32 used);

// The characters of `path` after its last '/', or the whole path when it has
// none. A backslash is not a separator.
QString LayerNameOf(const QString &path);

// The writer's input for the table as it stands: loaded layers copied,
// empty ones blanked ("" and size 0), all eight thresholds copied as they are.
SoundJob MakeSoundJob(const LayerTable &table);

#endif // LAYERTABLE_H
