#include "writefailuremessage.h"

#include "soundfile/soundfileformat.h"
#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "wav/waveheader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Status codes whose boxes the write failures reuse.
constexpr int FileErrorBox = -2;
constexpr int NotEnoughSpaceBox = -7;
constexpr int UnknownErrorBox = 0;

QString tr(const char *text)
{
    return QCoreApplication::translate("WriteFailureMessage", text);
}

// The first loaded layer whose WAV file can no longer be opened, or whose
// data length has grown past its slot; "" when all of them still fit.
QString UnusableLayerPath(const SoundJob &job)
{
    const int count = qBound(0, int(job.Count), int(SoundJob::MaxLayers));
    for (int k = 0; k < count; ++k) {
        QFile wav(job.Paths[k]);
        if (!wav.open(QIODevice::ReadOnly))
            return job.Paths[k];
        const quint32 dataLength = WaveHeader::DataLength(wav.read(WaveHeader::Size));
        if (dataLength > quint32(qMax(job.Sizes[k], 0)))
            return job.Paths[k];
    }
    return QString();
}

} // namespace

std::optional<WriteFailureMessage> WriteFailureMessageFor(int status, const SoundJob &job)
{
    if (status == SoundFileStatus::Written || job.FilePath.isEmpty())
        return std::nullopt;

    const QString file = QDir::toNativeSeparators(job.FilePath);
    switch (status) {
    case SoundFileStatus::OverCapacity: {
        const qint64 header = SoundFileFormat::BuildHeader(job, 0).size();
        const qint64 needed = SoundFileFormat::FileLength(job, header);
        return WriteFailureMessage{
            StatusMessageFor(NotEnoughSpaceBox),
            tr("Could not write %1: the layers and the header need %2 bytes, more than the "
               "%3 bytes a sound file can hold. Remove a layer or use a shorter one.")
                .arg(file)
                .arg(needed)
                .arg(SoundFileFormat::Capacity)};
    }
    case SoundFileStatus::CannotCreate:
        return WriteFailureMessage{
            StatusMessageFor(FileErrorBox),
            tr("Could not create %1: its folder does not exist or cannot be written to.")
                .arg(file)};
    case SoundFileStatus::WriteFailed:
        return WriteFailureMessage{
            StatusMessageFor(FileErrorBox),
            tr("Could not write %1: writing to the disk failed (it may be full). "
               "A file that was there before is unchanged.")
                .arg(file)};
    case SoundFileStatus::LayerUnusable: {
        const QString layer = UnusableLayerPath(job);
        const QString reason =
            layer.isEmpty()
                ? tr("one of the layers' WAV files can no longer be read or has changed since "
                     "it was added")
                : tr("the layer's WAV file %1 can no longer be read or has changed since it "
                     "was added")
                      .arg(QDir::toNativeSeparators(layer));
        return WriteFailureMessage{StatusMessageFor(FileErrorBox),
                                   tr("Could not write %1: %2.").arg(file, reason)};
    }
    default:
        return WriteFailureMessage{StatusMessageFor(UnknownErrorBox),
                                   tr("Could not write %1.").arg(file)};
    }
}
