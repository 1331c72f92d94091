#include "checkcommand.h"

#include "console.h"
#include "filecheck.h"
#include "waverefusal.h"

#include <QJsonArray>

namespace {

int runCheck(const Invocation &invocation)
{
    const QStringList wavs = invocation.Positional();
    if (const auto usage = RefuseStandardStreams(wavs))
        return *usage;
    if (wavs.isEmpty())
        return UsageError(QStringLiteral("check needs at least one WAV file"));

    int exitStatus = ExitStatus::Success;
    bool convertible = false;
    QJsonArray files;
    for (const QString &wav : wavs) {
        Steps() << "Checking " << DisplayedPath(wav) << Qt::endl;
        const FileCheck check = CheckFile(wav);
        Results() << DisplayedPath(wav) << ": " << FileCheckText(check) << Qt::endl;
        files << FileCheckJson(check);
        if (!check.Check.Accepted())
            exitStatus = ExitStatus::Refused;
        convertible = convertible || check.Convertible;
    }
    if (convertible) {
        Err() << "qmstool: \"qmstool convert\" makes copies of the audio files above that can be "
                 "layers; \"build --convert\" converts them for a build only"
              << Qt::endl;
    }
    if (CurrentOutputMode().Json)
        PrintJson({{QStringLiteral("files"), files}});
    return exitStatus;
}

} // namespace

const Command &CheckCommand()
{
    static const Command command{
        QStringLiteral("check"),
        QStringLiteral("Tell for each WAV file its duration and slot size, or why it cannot be "
                       "a layer."),
        QStringLiteral("Tells for each WAV file whether it can be a layer: prints its duration and "
                       "slot size, or the status code, the message the window shows and the "
                       "reason; for an audio file in another format, what it is (rate, channels, "
                       "sample format, duration) and whether it can be converted."),
        {QStringLiteral("WAV...")},
        {},
        {QStringLiteral("WAV"), QStringLiteral("The WAV files to check."), QStringLiteral("WAV..."),
         ValueKind::AudioFile},
        runCheck,
    };
    return command;
}
