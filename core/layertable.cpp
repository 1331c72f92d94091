#include "layertable.h"

LayerTable Layers;

void LayerTable::Reset()
{
    LayerCount = 0;
    LayerThreshold[1] = 1;
    for (int slot = 0; slot < Limits::LayerCount; ++slot) {
        LayerSize[slot] = 0;
        LayerPath[slot].clear();
        LayerName[slot].clear();
    }
    UsedSpace = 0;
}

bool FitsCapacity(qint64 used, qint64 size)
{
    return used + size <= Limits::Capacity;
}

int AvailableSpacePercent(qint32 used)
{
    // 32-bit arithmetic as the bar has always shown it: used * 100 stays
    // below 2^31 for every sum the capacity allows.
    return 100 - (used * 100 / Limits::LargestSlot);
}

QString LayerNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString CutName(const QString &name, int length)
{
    QString part = name.left(length);
    if (part.size() < name.size() && !part.isEmpty() && part.back().isHighSurrogate())
        part.chop(1);
    return part;
}
