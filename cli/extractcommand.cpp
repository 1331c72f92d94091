#include "extractcommand.h"

#include "console.h"

#include "core/duration.h"
#include "core/layertable.h"
#include "soundfile/layerextraction.h"
#include "soundfile/soundfilereader.h"

#include <QJsonArray>

namespace {

const QString FolderOption = QStringLiteral("directory");

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

// Where the sound file does not come back the same from the printed command.
QStringList notesOn(const QString &soundFile, const SoundFileReader &reader,
                    const LayerExtraction &extraction, bool exact)
{
    QStringList notes = extraction.Notes;
    const QString fileName = LayerNameOf(soundFile);
    if (reader.Info().FileName != fileName) {
        notes << QStringLiteral("the sound file calls itself \"%1\"; built as %2, it is called so")
                     .arg(reader.Info().FileName, fileName);
    }
    if (!exact)
        notes << QStringLiteral("a path holds control characters, shown escaped in the build "
                                "command");
    return notes;
}

QJsonArray layersJson(const SoundFileReader &reader, const LayerExtraction &extraction)
{
    QJsonArray layers;
    for (const ExtractedLayer &layer : extraction.Layers) {
        const qint64 size = reader.Info().Layers.at(layer.Layer - 1).Size;
        layers << QJsonObject{{QStringLiteral("layer"), layer.Layer},
                              {QStringLiteral("threshold"), layer.Threshold},
                              {QStringLiteral("name"), layer.StoredName},
                              {QStringLiteral("path"), layer.Path},
                              {QStringLiteral("existed"), layer.Existed},
                              {QStringLiteral("slot_size"), size},
                              {QStringLiteral("seconds"), SecondsOfBytes(size)}};
    }
    return layers;
}

// Says what was written, and the command that builds the file again.
int report(const QString &soundFile, const QString &folder, const SoundFileReader &reader,
           const LayerExtraction &extraction)
{
    for (const ExtractedLayer &layer : extraction.Layers) {
        Results() << "layer " << layer.Layer << ", threshold " << layer.Threshold << ": "
                  << Printable(layer.Path) << (layer.Existed ? " (already there)" : "") << "\n";
    }
    QJsonObject json{{QStringLiteral("file"), soundFile},
                     {QStringLiteral("folder"), folder},
                     {QStringLiteral("layers"), layersJson(reader, extraction)}};
    if (!extraction.Done()) {
        Results() << Qt::flush;
        return Refuse(QStringLiteral("the layers of %1 were not all written: %2")
                          .arg(soundFile, extraction.Error),
                      json);
    }
    bool exact = true;
    const QString command = buildCommand(soundFile, extraction, exact);
    const QStringList notes = notesOn(soundFile, reader, extraction, exact);
    Results() << command << Qt::endl;
    json.insert(QStringLiteral("build_command"), command);
    json.insert(QStringLiteral("notes"), QJsonArray::fromStringList(notes));
    if (CurrentOutputMode().Json)
        PrintJson(json);
    for (const QString &text : notes)
        Err() << "qmstool: note: " << Printable(text) << "\n";
    Err() << Qt::flush;
    return ExitStatus::Success;
}

int runExtract(const Invocation &invocation)
{
    const QStringList files = invocation.Positional();
    if (const auto usage = RefuseStandardStreams(files))
        return *usage;
    if (files.size() != 1)
        return UsageError(QStringLiteral("extract takes one sound file, not %1").arg(files.size()));
    if (invocation.Values(FolderOption).size() > 1 ||
        (invocation.IsSet(FolderOption) && invocation.Value(FolderOption).isEmpty()))
        return UsageError(QStringLiteral("give one folder with -d"));
    const QString soundFile = files.first();
    if (const auto usage = RefuseStandardStreams({invocation.Value(FolderOption)}))
        return *usage;
    const QString folder = invocation.IsSet(FolderOption) ? invocation.Value(FolderOption)
                                                          : DefaultLayerFolder(soundFile);

    const QJsonObject json{{QStringLiteral("file"), soundFile}};
    SoundFileReader reader;
    if (!reader.Open(soundFile)) {
        return Refuse(soundFile +
                          (reader.CannotRead() ? QStringLiteral(": ")
                                               : QStringLiteral(" is not a valid sound "
                                                                "file: ")) +
                          reader.Info().Problems.join(QLatin1String("; ")),
                      json);
    }
    if (reader.Info().LayerCount == 0)
        return Refuse(soundFile + QStringLiteral(" holds no layers: there is nothing to extract"),
                      json);
    Steps() << Printable(soundFile) << ": " << reader.Info().LayerCount
            << " layers; writing them into " << Printable(folder) << Qt::endl;
    return report(soundFile, folder, reader, ExtractLayers(reader, folder));
}

} // namespace

const Command &ExtractCommand()
{
    static const Command command{
        QStringLiteral("extract"),
        QStringLiteral("Write a sound file's layers as WAV files; print the build command that "
                       "remakes it."),
        QStringLiteral("Writes each layer of a sound file as a WAV file (44100 Hz, 16-bit, mono) "
                       "and prints the qmstool build command that makes the sound file again from "
                       "them.\nNo existing file is replaced: a name that is taken gets a number."),
        {QStringLiteral("[-d DIR] FILE.qms")},
        {{{QStringLiteral("d"), FolderOption},
          QStringLiteral("Write the WAV files into <dir>, created when missing (default: "
                         "<base name>-layers beside the sound file)."),
          QStringLiteral("dir"),
          ValueKind::Folder}},
        {QStringLiteral("FILE"), QStringLiteral("The sound file."), QStringLiteral("FILE.qms"),
         ValueKind::SoundFile},
        runExtract,
    };
    return command;
}
