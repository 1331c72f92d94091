#include "soundfilewriter.h"

#include "soundfileformat.h"
#include "wav/waveheader.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool writeAll(QSaveFile &out, const char *data, qint64 size)
{
    return out.write(data, size) == size;
}

bool writeZeros(QSaveFile &out, qint64 count)
{
    static const char zeros[SoundFileFormat::HeaderUnit] = {};
    while (count > 0) {
        const qint64 chunk = qMin<qint64>(count, sizeof zeros);
        if (!writeAll(out, zeros, chunk))
            return false;
        count -= chunk;
    }
    return true;
}

// Copies one layer's samples into `out` and pads them to `slotSize`.
int writeLayer(QSaveFile &out, const QString &path, qint32 slotSize)
{
    QFile wav(path);
    if (!wav.open(QIODevice::ReadOnly)) {
        qDebug() << "Unable to open " << path;
        return SoundFileStatus::LayerUnusable;
    }
    const QByteArray header = wav.read(WaveHeader::Size);
    const quint32 dataLength = WaveHeader::DataLength(header);
    if (dataLength > quint32(qMax(slotSize, 0))) {
        qDebug() << "Data no longer fits its slot " << path;
        return SoundFileStatus::LayerUnusable;
    }
    QByteArray samples;
    if (wav.size() > WaveHeader::Size && wav.seek(WaveHeader::Size))
        samples = wav.read(dataLength);
    if (wav.error() != QFileDevice::NoError) {
        qDebug() << "Unable to read " << path;
        return SoundFileStatus::LayerUnusable;
    }
    wav.close();

    if (!writeAll(out, samples.constData(), samples.size()))
        return SoundFileStatus::WriteFailed;
    qDebug() << "Writing Data From " << path;
    // A file that lost samples since it was loaded is padded up to its full
    // slot, so every later layer still starts where the header says.
    if (!writeZeros(out, slotSize - samples.size()))
        return SoundFileStatus::WriteFailed;
    return SoundFileStatus::Written;
}

// The loaded layer whose WAV file is `output` itself, or -1.
int layerAt(const SoundJob &job, int count, const QString &output)
{
    const QString target = QFileInfo(output).canonicalFilePath();
    if (target.isEmpty())
        return -1;
    for (int k = 0; k < count; ++k) {
        if (QFileInfo(job.Paths[k]).canonicalFilePath() == target)
            return k;
    }
    return -1;
}

} // namespace

int WriteSoundFile(SoundJob job)
{
    const quint32 tag = SoundFileFormat::RandomTag(QDateTime::currentSecsSinceEpoch());
    const QByteArray header = SoundFileFormat::BuildHeader(job, tag);

    // Checked before the output is touched, so a refused job keeps any file
    // already at that path.
    if (SoundFileFormat::FileLength(job, header.size()) > SoundFileFormat::Capacity) {
        qDebug() << "Space is not enough";
        return SoundFileStatus::OverCapacity;
    }

    const int count = qBound(0, int(job.Count), int(SoundJob::MaxLayers));
    // Writing over a layer's WAV file would destroy the samples being copied.
    const int replaced = layerAt(job, count, job.FilePath);
    if (replaced >= 0) {
        qDebug() << "Output would replace the layer " << job.Paths[replaced];
        return SoundFileStatus::OutputIsLayer;
    }

    // Unbuffered, so that a short write (a full disk) shows in the count that
    // write() returns: a buffered flush can lose the tail of the file silently.
    QSaveFile out(job.FilePath);
    if (job.FilePath.isEmpty() || !out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qDebug() << "Unable to open " << job.FilePath;
        return SoundFileStatus::CannotCreate;
    }

    int status = writeAll(out, header.constData(), header.size()) ? SoundFileStatus::Written
                                                                  : SoundFileStatus::WriteFailed;
    if (status == SoundFileStatus::Written) {
        qDebug() << "Quantity Of Files" << job.Count;
        for (int k = 0; k < count && status == SoundFileStatus::Written; ++k)
            status = writeLayer(out, job.Paths[k], job.Sizes[k]);
    }
    if (status == SoundFileStatus::Written && !out.commit())
        status = SoundFileStatus::WriteFailed;
    if (status == SoundFileStatus::WriteFailed)
        qDebug() << "Unable to write " << job.FilePath << out.errorString();
    // An uncommitted QSaveFile removes its temporary file when it goes.
    return status;
}
