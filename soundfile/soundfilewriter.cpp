#include "soundfilewriter.h"

#include "core/debuglines.h"
#include "outputfile.h"
#include "soundfileformat.h"
#include "wav/inputfile.h"
#include "wav/waveheader.h"

#include <QDateTime>

namespace {

constexpr qint64 CopyBlock = 65536;

WriteReport failure(WriteStatus status, int layer, const QString &error)
{
    WriteReport report;
    report.Status = status;
    report.Layer = layer;
    report.Error = error;
    return report;
}

bool writeZeros(OutputFile &out, qint64 count)
{
    static const char zeros[SoundFileFormat::HeaderUnit] = {};
    while (count > 0) {
        const qint64 chunk = qMin<qint64>(count, sizeof zeros);
        if (!out.Write(zeros, chunk))
            return false;
        count -= chunk;
    }
    return true;
}

// Opens a layer's WAV file again and checks it on the descriptor its samples
// will come from: it must still pass the WAV check with the same slot size.
bool openLayer(InputFile &wav, const QString &path, qint32 slotSize, quint32 &dataLength,
               QString &error)
{
    QByteArray header;
    if (!wav.Open(path) || !wav.ReadAt(0, WaveHeader::Size, header)) {
        error = wav.ErrorString();
        return false;
    }
    if (WaveHeader::Check(header) != WaveHeader::Problem::None) {
        error = QStringLiteral("changed since it was added: %1").arg(WaveHeader::Describe(header));
        return false;
    }
    dataLength = WaveHeader::DataLength(header);
    if (WaveHeader::SlotSize(dataLength) != slotSize) {
        error = QStringLiteral("changed since it was added: it now holds %1 data bytes, which "
                               "need a slot of %2 bytes, not %3")
                    .arg(dataLength)
                    .arg(WaveHeader::SlotSize(dataLength))
                    .arg(slotSize);
        return false;
    }
    return true;
}

// Copies one layer's samples into `out` and pads them to `slotSize`.
WriteReport writeLayer(OutputFile &out, const QString &path, qint32 slotSize, int layer)
{
    InputFile wav;
    quint32 dataLength = 0;
    QString error;
    if (!openLayer(wav, path, slotSize, dataLength, error)) {
        qCDebug(DebugLines) << "Unable to read " << path;
        return failure(WriteStatus::LayerUnusable, layer, error);
    }
    qint64 copied = 0;
    QByteArray block;
    while (copied < dataLength) {
        const qint64 wanted = qMin<qint64>(CopyBlock, dataLength - copied);
        if (!wav.ReadAt(WaveHeader::Size + copied, wanted, block)) {
            qCDebug(DebugLines) << "Unable to read " << path;
            return failure(WriteStatus::LayerUnusable, layer, wav.ErrorString());
        }
        if (!out.Write(block))
            return failure(WriteStatus::WriteFailed, 0, out.ErrorString());
        copied += block.size();
        if (block.size() < wanted)
            break; // the file lost samples since it was checked
    }
    qCDebug(DebugLines) << "Writing Data From " << path;
    // A file that lost samples is padded up to its full slot, so every later
    // layer still starts where the header says.
    if (!writeZeros(out, slotSize - copied))
        return failure(WriteStatus::WriteFailed, 0, out.ErrorString());
    return WriteReport();
}

} // namespace

WriteReport WriteSoundFile(const SoundJob &job)
{
    const quint32 tag = SoundFileFormat::RandomTag(QDateTime::currentSecsSinceEpoch());
    const QByteArray header = SoundFileFormat::BuildHeader(job, tag);

    // Checked before the output is touched, so a refused job keeps any file
    // already at that path.
    if (SoundFileFormat::FileLength(job, header.size()) > Limits::Capacity) {
        qCDebug(DebugLines) << "Space is not enough";
        return failure(WriteStatus::OverCapacity, 0, QString());
    }

    // The names are stored one per line: a line break in the file's name
    // would shift every name after it. (The WAV check refuses layers whose
    // names hold one.)
    if (job.FileName.contains(QLatin1Char(SoundFileFormat::NameSeparator))) {
        qCDebug(DebugLines) << "Unable to open " << job.FilePath;
        return failure(WriteStatus::CannotCreate, 0,
                       QStringLiteral("its name contains a line break"));
    }

    OutputFile out(job.FilePath);
    if (!out.Open()) {
        qCDebug(DebugLines) << "Unable to open " << job.FilePath;
        return failure(WriteStatus::CannotCreate, 0, out.ErrorString());
    }
    // Replacing a layer's WAV file would destroy the samples being copied,
    // whichever path (a link, a bind mount) leads to it.
    const int count = qBound(0, int(job.Count), int(Limits::LayerCount));
    for (int k = 0; out.ReplacesExisting() && k < count; ++k) {
        FileIdentity layer;
        if (IdentityOf(job.Paths[k], layer) && layer == out.ExistingIdentity()) {
            qCDebug(DebugLines) << "Output would replace the layer " << job.Paths[k];
            return failure(WriteStatus::OutputIsLayer, k + 1, QString());
        }
    }

    WriteReport report =
        out.Write(header) ? WriteReport() : failure(WriteStatus::WriteFailed, 0, out.ErrorString());
    if (report.Written()) {
        qCDebug(DebugLines) << "Quantity Of Files" << job.Count;
        for (int k = 0; k < count && report.Written(); ++k)
            report = writeLayer(out, job.Paths[k], job.Sizes[k], k + 1);
    }
    if (report.Written() && !out.Commit())
        report = failure(WriteStatus::WriteFailed, 0, out.ErrorString());
    if (report.Status == WriteStatus::WriteFailed)
        qCDebug(DebugLines) << "Unable to write " << job.FilePath << report.Error;
    if (report.Written())
        report.BytesWritten = out.BytesWritten();
    // An output not committed is removed when `out` goes.
    return report;
}
