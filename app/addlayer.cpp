#include "addlayer.h"

#include "layertable.h"
#include "thresholdrules.h"
#include "wav/wavefilereader.h"

int AddLayer(LayerTable &table, const QString &path)
{
    const int slot = table.LayerCount;
    if (slot < 0 || slot >= LayerTable::MaxLayers)
        return LayerTable::NotEnoughSpace;

    const int size = ReadWaveFile(path);
    table.LayerSize[slot] = size;
    if (size <= 0)
        return size;

    table.LayerPath[slot] = path;
    table.LayerName[slot] = LayerNameOf(path);
    if (!FitsCapacity(table.UsedSpace, size))
        return LayerTable::NotEnoughSpace;

    table.UsedSpace += size;
    table.LayerCount = slot + 1;
    SpreadThresholds(table.LayerThreshold, table.LayerCount);
    return size;
}
