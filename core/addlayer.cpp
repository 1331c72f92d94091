#include "addlayer.h"

#include "duration.h"
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

LayerCheck ReplaceLayer(LayerTable &table, int layer, const QString &path, LayerFileCheck check)
{
    if (layer < 1 || layer > table.LayerCount || table.LayerCount > Limits::LayerCount) {
        return LayerCheck::Refused(LayerStatus::NotEnoughSpace,
                                   QStringLiteral("layer %1 is not loaded").arg(layer));
    }
    const int slot = layer - 1;
    LayerCheck outcome = check(path);
    if (!outcome.Accepted())
        return outcome;
    const qint32 others = table.UsedSpace - table.LayerSize[slot];
    if (!FitsCapacity(others, outcome.SlotSize)) {
        outcome.Status = LayerStatus::NotEnoughSpace;
        outcome.Reason = DescribeCapacityRefusal(others, outcome.SlotSize);
        outcome.SlotSize = 0;
        return outcome;
    }
    table.LayerPath[slot] = path;
    table.LayerName[slot] = LayerNameOf(path);
    table.LayerSize[slot] = outcome.SlotSize;
    table.UsedSpace = others + outcome.SlotSize;
    return outcome;
}

QString DescribeCapacityRefusal(qint64 used, qint64 size)
{
    const qint64 left = qMax<qint64>(Limits::Capacity - used, 0);
    return QStringLiteral("the layer needs %1 bytes (%2); %3 of the %4 bytes are left (%5 of %6)")
        .arg(size)
        .arg(SecondsText(SecondsOfBytes(size)))
        .arg(left)
        .arg(Limits::Capacity)
        .arg(SecondsText(SecondsFree(used)), SecondsText(SecondsOfSpace()));
}
