#include "layertable.h"

#include "soundfile/soundjob.h"

LayerTable Layers;

void LayerTable::Reset()
{
    LayerCount = 0;
    LayerThreshold[1] = 1;
    for (int slot = 0; slot < MaxLayers; ++slot) {
        LayerSize[slot] = 0;
        LayerPath[slot].clear();
        LayerName[slot].clear();
    }
    UsedSpace = 0;
}

bool FitsCapacity(qint64 used, qint64 size)
{
    return used + size <= LayerTable::CapacityLimit;
}

int AvailableSpacePercent(qint32 used)
{
    // 32-bit arithmetic as the bar has always shown it: used * 100 stays
    // below 2^31 for every sum the capacity allows.
    return 100 - (used * 100 / LayerTable::PercentDivisor);
}

QString LayerNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

SoundJob MakeSoundJob(const LayerTable &table)
{
    SoundJob job;
    job.FilePath = table.SoundFilePath;
    job.FileName = table.SoundFileName;
    for (int slot = 0; slot < LayerTable::MaxLayers; ++slot) {
        job.Thresholds[slot] = table.LayerThreshold[slot + 1];
        const bool loaded = slot < table.LayerCount;
        job.Paths[slot] = loaded ? table.LayerPath[slot] : QString();
        job.Names[slot] = loaded ? table.LayerName[slot] : QString();
        job.Sizes[slot] = loaded ? table.LayerSize[slot] : 0;
    }
    job.Count = table.LayerCount;
    return job;
}
