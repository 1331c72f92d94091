#include "soundjob.h"

#include "core/layertable.h"

SoundJob MakeSoundJob(const LayerTable &table)
{
    SoundJob job;
    job.FilePath = table.SoundFilePath;
    job.FileName = table.SoundFileName;
    for (int slot = 0; slot < Limits::LayerCount; ++slot) {
        job.Thresholds[slot] = table.LayerThreshold[slot + 1];
        const bool loaded = slot < table.LayerCount;
        job.Paths[slot] = loaded ? table.LayerPath[slot] : QString();
        job.Names[slot] = loaded ? table.LayerName[slot] : QString();
        job.Sizes[slot] = loaded ? table.LayerSize[slot] : 0;
    }
    job.Count = table.LayerCount;
    return job;
}
