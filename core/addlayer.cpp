#include "addlayer.h"

#include "layertable.h"
#include "thresholdrules.h"

LayerCheck AddLayer(LayerTable &table, const QString &path, LayerFileCheck check)
{
    const int slot = table.LayerCount;
    if (slot < 0 || slot >= Limits::LayerCount) {
        return LayerCheck::Refused(
            LayerStatus::NotEnoughSpace,
            QStringLiteral("all %1 layers are in use").arg(Limits::LayerCount));
    }

    LayerCheck outcome = check(path);
    table.LayerSize[slot] = outcome.Result();
    if (!outcome.Accepted())
        return outcome;

    const qint32 size = outcome.SlotSize;
    table.LayerPath[slot] = path;
    table.LayerName[slot] = LayerNameOf(path);
    if (!FitsCapacity(table.UsedSpace, size)) {
        outcome.Status = LayerStatus::NotEnoughSpace;
        outcome.Reason = DescribeCapacityRefusal(table.UsedSpace, size);
        outcome.SlotSize = 0;
        return outcome;
    }

    table.UsedSpace += size;
    table.LayerCount = slot + 1;
    DistributeThresholds(table.LayerThreshold, table.LayerCount);
    return outcome;
}

void RemoveLastLayer(LayerTable &table)
{
    if (table.LayerCount <= 0 || table.LayerCount > Limits::LayerCount)
        return;
    const int slot = table.LayerCount - 1;
    table.LayerCount = slot;
    DistributeThresholds(table.LayerThreshold, slot);
    table.LayerPath[slot].clear();
    table.LayerName[slot].clear();
    table.UsedSpace -= table.LayerSize[slot];
}

QString DescribeCapacityRefusal(qint64 used, qint64 size)
{
    return QStringLiteral("the layer needs %1 bytes; %2 of the %3 bytes are left")
        .arg(size)
        .arg(qMax<qint64>(Limits::Capacity - used, 0))
        .arg(Limits::Capacity);
}
