#include "buildcommand.h"

#include "commandparser.h"
#include "console.h"
#include "soundfile/writefailure.h"
#include "thresholdlist.h"
#include "waverefusal.h"

#include "app/addlayer.h"
#include "app/layertable.h"
#include "app/thresholdrules.h"
#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "wav/wavefilereader.h"

namespace {

const QString Usage =
    QStringLiteral("qmstool build -o OUT.qms [-t T1,...,Tn] WAV1 [WAV2 ... WAV8]");

} // namespace

int RunBuild(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a sound file of 1 to 8 WAV layers (44100 Hz, 16-bit, mono PCM), layer 1 first.\n"
        "An existing file at OUT.qms is replaced only by a complete new one."));
    AddCommonOptions(parser);
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the sound file to <file>."),
                                    QStringLiteral("file"));
    const QCommandLineOption thresholds(
        {QStringLiteral("t"), QStringLiteral("thresholds")},
        QStringLiteral("The layers' thresholds, comma-separated, falling strictly from at most "
                       "126 to 1 (default: the even spread)."),
        QStringLiteral("list"));
    parser.addOption(output);
    parser.addOption(thresholds);
    parser.addPositionalArgument(QStringLiteral("WAV"),
                                 QStringLiteral("The layers' WAV files, 1 to 8, layer 1 first."),
                                 QStringLiteral("WAV1 [WAV2 ... WAV8]"));
    if (const auto done = ParseCommand(parser, arguments, Usage))
        return *done;

    const QStringList wavs = parser.positionalArguments();
    if (parser.values(output).size() != 1 || parser.value(output).isEmpty())
        return UsageError(QStringLiteral("build needs one output file: -o OUT.qms"));
    if (wavs.isEmpty() || wavs.size() > LayerTable::MaxLayers) {
        return UsageError(QStringLiteral("build takes 1 to %1 WAV files, not %2")
                              .arg(LayerTable::MaxLayers)
                              .arg(wavs.size()));
    }
    QList<int> wanted;
    if (parser.isSet(thresholds)) {
        QString error;
        if (parser.values(thresholds).size() != 1)
            return UsageError(QStringLiteral("give the thresholds once, with one -t"));
        if (!ParseThresholdList(parser.value(thresholds), wavs.size(), wanted, error))
            return UsageError(error);
    }
    const QString outPath = parser.value(output);

    LayerTable table;
    for (const QString &wav : wavs) {
        const int slot = table.LayerCount;
        WaveCheck check;
        if (AddLayer(table, wav, &check) > 0)
            continue;
        Err() << "qmstool: layer " << slot + 1 << ", " << DisplayedPath(wav) << ": "
              << DescribeWaveRefusal(check) << "\n"
              << "qmstool: " << Printable(outPath) << " not written" << Qt::endl;
        return ExitStatus::Refused;
    }
    if (!wanted.isEmpty())
        ApplyThresholds(table.LayerThreshold, table.LayerCount, wanted);

    table.SoundFilePath = outPath;
    table.SoundFileName = LayerNameOf(outPath);
    const SoundJob job = MakeSoundJob(table);
    WriteReport report;
    if (WriteSoundFile(job, &report) != SoundFileStatus::Written) {
        Err() << "qmstool: " << Printable(outPath)
              << " not written: " << Printable(DescribeWriteFailure(job, report)) << Qt::endl;
        return ExitStatus::Refused;
    }
    Out() << "Wrote " << Printable(outPath) << ": " << table.LayerCount
          << (table.LayerCount == 1 ? " layer, " : " layers, ") << report.BytesWritten << " bytes"
          << Qt::endl;
    return ExitStatus::Success;
}
