#include "writefailuremessage.h"

#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "soundfile/writefailure.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// Status codes whose boxes the write failures reuse.
constexpr int FileErrorBox = -2;
constexpr int NotEnoughSpaceBox = -7;
constexpr int UnknownErrorBox = 0;

QString tr(const char *text)
{
    return QCoreApplication::translate("WriteFailureMessage", text);
}

} // namespace

std::optional<WriteFailureMessage> WriteFailureMessageFor(const WriteReport &report,
                                                          const SoundJob &job)
{
    if (report.Status == SoundFileStatus::Written || job.FilePath.isEmpty())
        return std::nullopt;

    const QString file = QDir::toNativeSeparators(job.FilePath);
    const QString details =
        tr("Could not write %1: %2.").arg(file, DescribeWriteFailure(job, report));
    switch (report.Status) {
    case SoundFileStatus::OverCapacity:
        return WriteFailureMessage{StatusMessageFor(NotEnoughSpaceBox), details};
    case SoundFileStatus::CannotCreate:
    case SoundFileStatus::WriteFailed:
    case SoundFileStatus::LayerUnusable:
    case SoundFileStatus::OutputIsLayer:
        return WriteFailureMessage{StatusMessageFor(FileErrorBox), details};
    default:
        return WriteFailureMessage{StatusMessageFor(UnknownErrorBox), details};
    }
}
