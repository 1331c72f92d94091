#include "writefailure.h"

#include "soundfileformat.h"
#include "soundfilewriter.h"
#include "soundjob.h"
#include "wav/waveheader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString whyNotCreated(const QString &path)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("it is a folder");
    if (!file.dir().exists())
        return QStringLiteral("its folder %1 does not exist").arg(file.dir().path());
    return QStringLiteral("it cannot be created in its folder (no write access?)");
}

// The first layer whose WAV file cannot be read now or outgrew its slot.
QString whichLayerUnusable(const SoundJob &job)
{
    for (int k = 0; k < qBound(0, int(job.Count), int(SoundJob::MaxLayers)); ++k) {
        // Only regular files are opened again: a pipe would wait for a writer.
        if (!QFileInfo(job.Paths[k]).isFile()) {
            return QStringLiteral("the WAV file of layer %1, %2, is no longer a regular file")
                .arg(k + 1)
                .arg(job.Paths[k]);
        }
        QFile wav(job.Paths[k]);
        if (!wav.open(QIODevice::ReadOnly)) {
            return QStringLiteral("the WAV file of layer %1, %2, cannot be opened any more: %3")
                .arg(k + 1)
                .arg(job.Paths[k], wav.errorString());
        }
        const quint32 length = WaveHeader::DataLength(wav.read(WaveHeader::Size));
        if (length > quint32(qMax(job.Sizes[k], 0))) {
            return QStringLiteral("the WAV file of layer %1, %2, now holds %3 data bytes, more "
                                  "than its slot of %4")
                .arg(k + 1)
                .arg(job.Paths[k])
                .arg(length)
                .arg(job.Sizes[k]);
        }
    }
    return QStringLiteral("one of the layers' WAV files could no longer be read, or it grew "
                          "beyond its slot after it was checked");
}

} // namespace

QString DescribeWriteFailure(const SoundJob &job, int status)
{
    switch (status) {
    case SoundFileStatus::CannotCreate:
        return whyNotCreated(job.FilePath);
    case SoundFileStatus::OverCapacity: {
        const qint64 header = SoundFileFormat::BuildHeader(job, 0).size();
        const qint64 length = SoundFileFormat::FileLength(job, header);
        return QStringLiteral("the header of %1 bytes and the slots of %2 bytes make %3, more "
                              "than the capacity of %4")
            .arg(header)
            .arg(length - header)
            .arg(length)
            .arg(SoundFileFormat::Capacity);
    }
    case SoundFileStatus::WriteFailed:
        return QStringLiteral("writing failed (disk full or an I/O error); a file that was "
                              "there before is unchanged");
    case SoundFileStatus::OutputIsLayer:
        return QStringLiteral("it is the WAV file of one of the layers");
    case SoundFileStatus::LayerUnusable:
        return whichLayerUnusable(job);
    default:
        return QStringLiteral("status %1").arg(status);
    }
}
