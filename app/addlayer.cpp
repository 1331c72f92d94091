#include "addlayer.h"

#include "layertable.h"
#include "thresholdrules.h"
#include "wav/wavefilereader.h"

int AddLayer(LayerTable &table, const QString &path, WaveCheck *check)
{
    WaveCheck unused;
    WaveCheck &outcome = check ? *check : unused;
    const int slot = table.LayerCount;
    if (slot < 0 || slot >= LayerTable::MaxLayers) {
        outcome = {LayerTable::NotEnoughSpace,
                   QStringLiteral("all %1 layers are in use").arg(LayerTable::MaxLayers), 0};
        return outcome.Result;
    }

    outcome = CheckWaveFile(path);
    const int size = outcome.Result;
    table.LayerSize[slot] = size;
    if (size <= 0)
        return size;

    table.LayerPath[slot] = path;
    table.LayerName[slot] = LayerNameOf(path);
    if (!FitsCapacity(table.UsedSpace, size)) {
        outcome.Result = LayerTable::NotEnoughSpace;
        outcome.Reason = DescribeCapacityRefusal(table.UsedSpace, size);
        return outcome.Result;
    }

    table.UsedSpace += size;
    table.LayerCount = slot + 1;
    SpreadThresholds(table.LayerThreshold, table.LayerCount);
    return size;
}

void RemoveLastLayer(LayerTable &table)
{
    if (table.LayerCount <= 0 || table.LayerCount > LayerTable::MaxLayers)
        return;
    const int slot = table.LayerCount - 1;
    table.LayerCount = slot;
    SpreadThresholds(table.LayerThreshold, slot);
    table.LayerPath[slot].clear();
    table.LayerName[slot].clear();
    table.UsedSpace -= table.LayerSize[slot];
}

QString DescribeCapacityRefusal(qint64 used, qint64 size)
{
    return QStringLiteral("the layer needs %1 bytes; %2 of the %3 bytes are left")
        .arg(size)
        .arg(qMax<qint64>(LayerTable::CapacityLimit - used, 0))
        .arg(LayerTable::CapacityLimit);
}
