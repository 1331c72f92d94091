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
        "format, what it is (rate, channels, sample format, duration) and whether it can be "
        "converted."));
    AddCommonOptions(parser);
    parser.addPositionalArgument(QStringLiteral("WAV"), QStringLiteral("The WAV files to check."),
                                 QStringLiteral("WAV..."));
    if (const auto done = ParseCommand(parser, arguments, QStringLiteral("qmstool check WAV...")))
        return *done;

    const QStringList wavs = parser.positionalArguments();
    if (wavs.isEmpty())
        return UsageError(QStringLiteral("check needs at least one WAV file"));

    int exitStatus = ExitStatus::Success;
    bool convertible = false;
    for (const QString &wav : wavs) {
        LayerCheck check = CheckWaveFile(wav);
        if (check.Accepted()) {
            Out() << DisplayedPath(wav) << ": " << check.SlotSize << Qt::endl;
        } else {
            // What a file that can be decoded really is.
            const ConversionOffer offer = OfferConversion(wav, check);
            check.Reason = offer.Reason;
            convertible = convertible || offer.Possible;
            Out() << DisplayedPath(wav) << ": " << DescribeWaveRefusal(check) << Qt::endl;
            exitStatus = ExitStatus::Refused;
        }
    }
    if (convertible) {
        Err() << "qmstool: \"qmstool convert\" makes copies of the audio files above that can be "
                 "layers; \"build --convert\" converts them for a build only"
              << Qt::endl;
    }
    return exitStatus;
}
