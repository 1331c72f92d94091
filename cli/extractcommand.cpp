#include "extractcommand.h"

#include "commandparser.h"
#include "console.h"

#include "core/layertable.h"
#include "soundfile/layerextraction.h"
#include "soundfile/soundfilereader.h"

namespace {

const QString Usage = QStringLiteral("qmstool extract [-d DIR] FILE.qms");

// `path` as one word for a POSIX shell: in single quotes, never taken for an
// option. Control characters are shown escaped, which `exact` then tells.
QString shellWord(QString path, bool &exact)
{
    if (path.startsWith(QLatin1Char('-')))
        path.prepend(QStringLiteral("./"));
    const QString shown = Printable(path);
    exact = exact && shown == path;
    return QLatin1Char('\'') + QString(shown).replace(QLatin1Char('\''), QLatin1String("'\\''")) +
           QLatin1Char('\'');
}

QString buildCommand(const QString &soundFile, const LayerExtraction &extraction, bool &exact)
{
    QStringList words{QStringLiteral("qmstool build -o"), shellWord(soundFile, exact)};
    if (!extraction.EvenSpread) {
        QStringList thresholds;
        for (int threshold : extraction.Thresholds)
            thresholds << QString::number(threshold);
        words << QStringLiteral("-t") << thresholds.join(QLatin1Char(','));
    }
    for (const ExtractedLayer &layer : extraction.Layers)
        words << shellWord(layer.Path, exact);
    return words.join(QLatin1Char(' '));
}

void note(const QString &text)
{
    Err() << "qmstool: note: " << Printable(text) << "\n";
}

} // namespace

int RunExtract(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes each layer of a sound file as a WAV file (44100 Hz, 16-bit, mono) and prints the "
        "qmstool build command that makes the sound file again from them.\n"
        "No existing file is replaced: a name that is taken gets a number."));
    AddCommonOptions(parser);
    const QCommandLineOption folderOption(
        {QStringLiteral("d"), QStringLiteral("directory")},
        QStringLiteral("Write the WAV files into <dir>, created when missing (default: "
                       "<base name>-layers beside the sound file)."),
        QStringLiteral("dir"));
    parser.addOption(folderOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The sound file."),
                                 QStringLiteral("FILE.qms"));
    if (const auto done = ParseCommand(parser, arguments, Usage))
        return *done;

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("extract takes one sound file, not %1").arg(files.size()));
    if (parser.values(folderOption).size() > 1 ||
        (parser.isSet(folderOption) && parser.value(folderOption).isEmpty()))
        return UsageError(QStringLiteral("give one folder with -d"));
    const QString soundFile = files.first();
    const QString folder =
        parser.isSet(folderOption) ? parser.value(folderOption) : DefaultLayerFolder(soundFile);

    SoundFileReader reader;
    if (!reader.Open(soundFile)) {
        Err() << "qmstool: " << Printable(soundFile)
              << (reader.CannotRead() ? ": " : " is not a valid sound file: ")
              << Printable(reader.Info().Problems.join(QLatin1String("; "))) << Qt::endl;
        return ExitStatus::Refused;
    }
    const LayerExtraction extraction = ExtractLayers(reader, folder);
    for (const ExtractedLayer &layer : extraction.Layers) {
        Out() << "layer " << layer.Layer << ", threshold " << layer.Threshold << ": "
              << Printable(layer.Path) << (layer.Existed ? " (already there)" : "") << "\n";
    }
    if (!extraction.Done()) {
        Out() << Qt::flush;
        Err() << "qmstool: the layers of " << Printable(soundFile)
              << " were not all written: " << Printable(extraction.Error) << Qt::endl;
        return ExitStatus::Refused;
    }

    bool exact = true;
    Out() << buildCommand(soundFile, extraction, exact) << Qt::endl;
    for (const QString &text : extraction.Notes)
        note(text);
    const QString fileName = LayerNameOf(soundFile);
    if (reader.Info().FileName != fileName) {
        note(QStringLiteral("the sound file calls itself \"%1\"; built as %2, it is called so")
                 .arg(reader.Info().FileName, fileName));
    }
    if (!exact)
        note(QStringLiteral("a path holds control characters, shown escaped in the build command"));
    Err() << Qt::flush;
    return ExitStatus::Success;
}
