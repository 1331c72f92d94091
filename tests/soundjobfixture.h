#ifndef SOUNDJOBFIXTURE_H
#define SOUNDJOBFIXTURE_H

#include "testsupport.h"

#include "core/thresholdrules.h"
#include "soundfile/soundjob.h"

#include <QFileInfo>
#include <QList>

namespace TestSupport {

// The job for the sound file at `filePath` of layers with these slot sizes:
// layer N is named "layerN.wav" unless `names` says otherwise, its WAV file
// is "layerN.wav" beside the sound file, and the thresholds are the even
// spread.
inline SoundJob soundJob(const QString &filePath, const QList<qint64> &slotSizes,
                         const QStringList &names = {})
{
    SoundJob job;
    job.FilePath = filePath;
    job.FileName = QFileInfo(filePath).fileName();
    job.Count = int(slotSizes.size());
    const QString folder = QFileInfo(filePath).path();
    for (int k = 0; k < job.Count; ++k) {
        const QString file = QStringLiteral("layer%1.wav").arg(k + 1);
        job.Names[k] = k < names.size() ? names.at(k) : file;
        job.Paths[k] = folder == QLatin1String(".") ? file : folder + QLatin1Char('/') + file;
        job.Sizes[k] = qint32(slotSizes.at(k));
    }
    LayerThresholds spread;
    DistributeThresholds(spread, job.Count);
    for (int k = 0; k < Limits::LayerCount; ++k)
        job.Thresholds[k] = spread[k + 1];
    return job;
}

// The same with the layers' WAV files written, with these data lengths (the
// samples of layer N in pattern N), and the slot sizes they take.
inline SoundJob soundJobOfWaves(const QString &filePath, const QList<qint64> &dataLengths,
                                const QStringList &names = {})
{
    QList<qint64> slotSizes;
    for (const qint64 length : dataLengths)
        slotSizes << (length & ~511) + 512;
    const SoundJob job = soundJob(filePath, slotSizes, names);
    for (int k = 0; k < job.Count; ++k) {
        QFile::remove(job.Paths[k]); // a pipe left by a failed test would block
        writeWave(job.Paths[k], quint32(dataLengths.at(k)), -1, k + 1);
    }
    return job;
}

} // namespace TestSupport

#endif // SOUNDJOBFIXTURE_H
