#include "convertcommand.h"

#include "commandparser.h"
#include "console.h"
#include "waverefusal.h"

#include "audio/audioconverter.h"
#include "audio/conversionoffer.h"
#include "wav/inputfile.h"

#include <QDir>

namespace {

const QString Usage = QStringLiteral("qmstool convert (-o OUT.wav INPUT | -d DIR INPUT...)");

// Converts `input` into `output`; says what was done or why not.
bool convert(const QString &input, const QString &output, const QList<FileIdentity> &untouchable)
{
    ConversionReport report;
    if (ConvertAudioFile(input, output, &report, untouchable)) {
        Out() << DescribeConversion(input, output, report) << Qt::endl;
        return true;
    }
    if (report.Result == ConversionResult::NotWritten) {
        Err() << "qmstool: " << DisplayedPath(input) << ": " << Printable(output)
              << " not written: " << Printable(report.Reason) << Qt::endl;
    } else {
        Err() << "qmstool: " << DisplayedPath(input)
              << ": not converted: " << Printable(report.Reason) << Qt::endl;
    }
    return false;
}

} // namespace

QString DescribeConversion(const QString &input, const QString &output,
                           const ConversionReport &report)
{
    QString line =
        QStringLiteral("%1 -> %2: %3;%4 %5 %6 clipped; slot size %7 bytes")
            .arg(DisplayedPath(input), Printable(output), Printable(report.Source.Describe()),
                 report.Copied ? QStringLiteral(" copied sample for sample;") : QString())
            .arg(report.Clipped)
            .arg(report.Clipped == 1 ? QStringLiteral("sample") : QStringLiteral("samples"))
            .arg(report.SlotSize);
    for (const QString &warning : report.Warnings)
        line += QStringLiteral("; ") + Printable(warning);
    return line;
}

int RunConvert(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a copy of audio files (WAV of any kind, AIFF, FLAC, Ogg Vorbis, Opus, MP3, AAC,\n"
        "ALAC, WMA, AC-3, the sound of MP4, QuickTime, Matroska and WebM videos) that can be\n"
        "a layer: 44100 Hz, 16-bit, mono PCM. The channels are folded into one, the rate\n"
        "converted, sources of more than 16 bits dithered. A source that ends early or holds\n"
        "samples that are not numbers is converted with a warning. An input is never written\n"
        "over; an existing file at the output is replaced only by a complete copy."));
    AddCommonOptions(parser);
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the copy of the one INPUT to <file>."),
                                    QStringLiteral("file"));
    const QCommandLineOption folder(
        {QStringLiteral("d"), QStringLiteral("directory")},
        QStringLiteral("Write each copy into <dir> as <base name>.wav (<base name> (44100 Hz "
                       "mono).wav where that is the input itself)."),
        QStringLiteral("dir"));
    parser.addOption(output);
    parser.addOption(folder);
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The audio files."),
                                 QStringLiteral("INPUT..."));
    if (const auto done = ParseCommand(parser, arguments, Usage))
        return *done;

    const QStringList inputs = parser.positionalArguments();
    const int targets = int(parser.values(output).size() + parser.values(folder).size());
    if (targets != 1 ||
        (parser.isSet(output) ? parser.value(output) : parser.value(folder)).isEmpty())
        return UsageError(QStringLiteral("convert needs one of -o OUT.wav or -d DIR"));
    if (inputs.isEmpty())
        return UsageError(QStringLiteral("convert needs at least one input file"));
    if (parser.isSet(output) && inputs.size() != 1) {
        return UsageError(
            QStringLiteral("convert -o takes one input file, not %1; use -d DIR for more")
                .arg(inputs.size()));
    }

    // No input is written over, nor a copy made earlier in this run.
    QList<FileIdentity> untouchable;
    for (const QString &input : inputs) {
        FileIdentity identity;
        if (IdentityOf(input, identity))
            untouchable << identity;
    }
    bool allConverted = true;
    for (const QString &input : inputs) {
        const QString out = parser.isSet(output) ? parser.value(output)
                                                 : ConvertedCopyPath(input, parser.value(folder));
        if (!convert(input, out, untouchable)) {
            allConverted = false;
            continue;
        }
        FileIdentity written;
        if (IdentityOf(out, written))
            untouchable << written;
    }
    return allConverted ? ExitStatus::Success : ExitStatus::Refused;
}
