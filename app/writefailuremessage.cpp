#include "writefailuremessage.h"

#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "soundfile/writefailure.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("WriteFailureMessage", text);
}

} // namespace

std::optional<WriteFailureMessage> WriteFailureMessageFor(const WriteReport &report,
                                                          const SoundJob &job)
{
    if (report.Written() || job.FilePath.isEmpty())
        return std::nullopt;

    const QString file = QDir::toNativeSeparators(job.FilePath);
    const QString details =
        tr("Could not write %1: %2.").arg(file, DescribeWriteFailure(job, report));
    // The boxes of the layers' refusals that say the same.
    switch (report.Status) {
    case WriteStatus::Written:
        return std::nullopt;
    case WriteStatus::OverCapacity:
        return WriteFailureMessage{StatusMessageFor(LayerStatus::NotEnoughSpace), details};
    case WriteStatus::CannotCreate:
    case WriteStatus::WriteFailed:
    case WriteStatus::LayerUnusable:
    case WriteStatus::OutputIsLayer:
        return WriteFailureMessage{StatusMessageFor(LayerStatus::CannotOpen), details};
    }
    return WriteFailureMessage{StatusMessageFor(0), details}; // "Unknown Error"
}
