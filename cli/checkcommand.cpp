#include "checkcommand.h"

#include "commandparser.h"
#include "console.h"
#include "waverefusal.h"

#include "audio/conversionoffer.h"
#include "wav/wavefilereader.h"

int RunCheck(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tells for each WAV file whether it can be a layer: prints its slot size, or the status "
        "code, the message the window shows and the reason; for an audio file in another "
        "format, what it is (rate, channels, sample format, duration)."));
    AddCommonOptions(parser);
    parser.addPositionalArgument(QStringLiteral("WAV"), QStringLiteral("The WAV files to check."),
                                 QStringLiteral("WAV..."));
    if (const auto done = ParseCommand(parser, arguments, QStringLiteral("qmstool check WAV...")))
        return *done;

    const QStringList wavs = parser.positionalArguments();
    if (wavs.isEmpty())
        return UsageError(QStringLiteral("check needs at least one WAV file"));

    int exitStatus = ExitStatus::Success;
    for (const QString &wav : wavs) {
        LayerCheck check = CheckWaveFile(wav);
        if (check.Accepted()) {
            Out() << DisplayedPath(wav) << ": " << check.SlotSize << Qt::endl;
        } else {
            // What a file that can be decoded really is.
            check.Reason = OfferConversion(wav, check).Reason;
            Out() << DisplayedPath(wav) << ": " << DescribeWaveRefusal(check) << Qt::endl;
            exitStatus = ExitStatus::Refused;
        }
    }
    return exitStatus;
}
