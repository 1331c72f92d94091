#include "writefailure.h"

#include "soundfileformat.h"
#include "soundfilewriter.h"
#include "soundjob.h"

namespace {

QString layerFile(const SoundJob &job, int layer)
{
    const bool known = layer >= 1 && layer <= Limits::LayerCount;
    return QStringLiteral("the WAV file of layer %1, %2")
        .arg(layer)
        .arg(known ? job.Paths[layer - 1] : QString());
}

} // namespace

QString DescribeWriteFailure(const SoundJob &job, const WriteReport &report)
{
    switch (report.Status) {
    case WriteStatus::Written:
        return QString();
    case WriteStatus::CannotCreate:
        return report.Error;
    case WriteStatus::OverCapacity: {
        const qint64 header = SoundFileFormat::BuildHeader(job, 0).size();
        const qint64 length = SoundFileFormat::FileLength(job, header);
        return QStringLiteral("the header of %1 bytes and the slots of %2 bytes make %3, more "
                              "than the capacity of %4")
            .arg(header)
            .arg(length - header)
            .arg(length)
            .arg(Limits::Capacity);
    }
    case WriteStatus::WriteFailed:
        return QStringLiteral("writing failed: %1; a file that was there before is unchanged")
            .arg(report.Error);
    case WriteStatus::OutputIsLayer:
        return QStringLiteral("it is %1").arg(layerFile(job, report.Layer));
    case WriteStatus::LayerUnusable:
        return QStringLiteral("%1: %2").arg(layerFile(job, report.Layer), report.Error);
    }
    return QStringLiteral("status %1").arg(int(report.Status));
}
