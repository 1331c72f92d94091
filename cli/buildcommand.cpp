#include "buildcommand.h"

#include "commandparser.h"
#include "console.h"
#include "convertcommand.h"
#include "scratchfolder.h"
#include "thresholdlist.h"
#include "waverefusal.h"

#include "audio/audioconverter.h"
#include "audio/conversionoffer.h"
#include "core/addlayer.h"
#include "core/layertable.h"
#include "core/thresholdrules.h"
#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "soundfile/writefailure.h"
#include "wav/wavefilereader.h"

#include <QFileInfo>

namespace {

const QString Usage =
    QStringLiteral("qmstool build -o OUT.qms [-t T1,...,Tn] [--convert] WAV1 [WAV2 ... WAV8]");

// An input converted for this build: its layer and the file it came from.
struct ConvertedInput
{
    int Layer;
    QString Path;
    FileIdentity Identity;
};

// Converts `input`, refused by the WAV check, into `scratch` and adds the
// copy as the next layer, named <base name>.wav. False, said on standard
// error, when that fails.
bool addConverted(LayerTable &table, const QString &input, ScratchFolder &scratch,
                  QList<ConvertedInput> &converted)
{
    const int layer = table.LayerCount + 1;
    const QString copy =
        scratch.PathFor(layer - 1, QFileInfo(input).completeBaseName() + QStringLiteral(".wav"));
    ConversionReport report;
    if (copy.isEmpty() || !ConvertAudioFile(input, copy, &report)) {
        Err() << "qmstool: layer " << layer << ", " << DisplayedPath(input) << ": not converted: "
              << Printable(copy.isEmpty() ? scratch.ErrorString() : report.Reason) << "\n";
        return false;
    }
    Out() << "Layer " << layer << ": " << DescribeConversion(input, LayerNameOf(copy), report)
          << Qt::endl;
    const LayerCheck check = AddLayer(table, copy, CheckWaveFile);
    if (!check.Accepted()) {
        Err() << "qmstool: layer " << layer << ", " << DisplayedPath(input)
              << ", converted: " << DescribeWaveRefusal(check) << "\n";
        return false;
    }
    FileIdentity identity;
    IdentityOf(input, identity);
    converted << ConvertedInput{layer, input, identity};
    return true;
}

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
                       "%1 to 1 (default: the even spread).")
            .arg(Limits::ThresholdCeiling),
        QStringLiteral("list"));
    const QCommandLineOption convert(
        QStringLiteral("convert"),
        QStringLiteral("Convert inputs in another format (any audio file qmstool convert takes) "
                       "into a temporary folder for this build only; their layer names are "
                       "<base name>.wav."));
    parser.addOption(output);
    parser.addOption(thresholds);
    parser.addOption(convert);
    parser.addPositionalArgument(QStringLiteral("WAV"),
                                 QStringLiteral("The layers' WAV files, 1 to 8, layer 1 first."),
                                 QStringLiteral("WAV1 [WAV2 ... WAV8]"));
    if (const auto done = ParseCommand(parser, arguments, Usage))
        return *done;

    const QStringList wavs = parser.positionalArguments();
    if (parser.values(output).size() != 1 || parser.value(output).isEmpty())
        return UsageError(QStringLiteral("build needs one output file: -o OUT.qms"));
    if (wavs.isEmpty() || wavs.size() > Limits::LayerCount) {
        return UsageError(QStringLiteral("build takes 1 to %1 WAV files, not %2")
                              .arg(Limits::LayerCount)
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
    ScratchFolder scratch; // the converted copies, gone when the build ends
    QList<ConvertedInput> converted;
    for (const QString &wav : wavs) {
        const int slot = table.LayerCount;
        LayerCheck check = AddLayer(table, wav, CheckWaveFile);
        if (check.Accepted())
            continue;
        const ConversionOffer offer = OfferConversion(wav, check);
        if (offer.Possible && parser.isSet(convert)) {
            if (addConverted(table, wav, scratch, converted))
                continue;
        } else {
            check.Reason = offer.Reason;
            Err() << "qmstool: layer " << slot + 1 << ", " << DisplayedPath(wav) << ": "
                  << DescribeWaveRefusal(check) << "\n";
            if (offer.Possible)
                Err() << "qmstool: \"qmstool convert\" makes a copy of it that can be a layer; "
                         "\"build --convert\" converts it for this build only\n";
        }
        Err() << "qmstool: " << Printable(outPath) << " not written" << Qt::endl;
        return ExitStatus::Refused;
    }
    // The copies are read, not the inputs: the writer cannot see those.
    FileIdentity outIdentity;
    for (const ConvertedInput &input : converted) {
        if (IdentityOf(outPath, outIdentity) && outIdentity == input.Identity) {
            Err() << "qmstool: " << Printable(outPath) << " not written: it is the input of layer "
                  << input.Layer << ", " << DisplayedPath(input.Path) << Qt::endl;
            return ExitStatus::Refused;
        }
    }
    if (!wanted.isEmpty())
        ApplyThresholds(table.LayerThreshold, table.LayerCount, wanted);

    table.SoundFilePath = outPath;
    table.SoundFileName = LayerNameOf(outPath);
    const SoundJob job = MakeSoundJob(table);
    const WriteReport report = WriteSoundFile(job);
    if (!report.Written()) {
        Err() << "qmstool: " << Printable(outPath)
              << " not written: " << Printable(DescribeWriteFailure(job, report)) << Qt::endl;
        return ExitStatus::Refused;
    }
    Out() << "Wrote " << Printable(outPath) << ": " << table.LayerCount
          << (table.LayerCount == 1 ? " layer, " : " layers, ") << report.BytesWritten << " bytes"
          << Qt::endl;
    return ExitStatus::Success;
}
