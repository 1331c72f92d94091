#include "analyzecommand.h"

#include "analysisreport.h"
#include "audioreport.h"
#include "console.h"
#include "waverefusal.h"

#include "audio/audioformat.h"
#include "audio/signalanalysis.h"
#include "soundfile/layerextraction.h"
#include "soundfile/soundfileformat.h"
#include "soundfile/soundfilereader.h"
#include "wav/inputfile.h"

#include <QJsonArray>
#include <QtEndian>

#include <vector>

namespace {

// Whether the file at `path` starts with a sound file's signature.
bool isSoundFile(const QString &path)
{
    InputFile file;
    QByteArray start;
    return file.Open(path) && file.ReadAt(0, SoundFileFormat::SignatureSize, start) &&
           start == QByteArray(SoundFileFormat::Signature, SoundFileFormat::SignatureSize);
}

// A layer's samples, as extract writes them: its slot but the padding kept.
SignalAnalysis analyseSlot(const QByteArray &slot)
{
    const qsizetype count =
        qMax<qsizetype>(0, slot.size() - SlotPaddingKept) / LayerFormat::BytesPerSample;
    std::vector<float> samples(static_cast<size_t>(count));
    for (qsizetype i = 0; i < count; ++i) {
        samples[size_t(i)] =
            qFromLittleEndian<qint16>(slot.constData() + i * LayerFormat::BytesPerSample) /
            32768.0f;
    }
    return AnalyseSamples(samples.data(), count, LayerFormat::SampleRate);
}

// The files of one run: the table's rows (under one heading) or the JSON
// document, and whether every file could be analysed.
class Analysis
{
public:
    void File(const QString &path);
    int Finish();

private:
    void audioFile(const QString &path, QJsonObject &json);
    void soundFile(const QString &path, QJsonObject &json);
    void row(const SignalAnalysis &analysis, const QString &name);
    void refuse(const QString &path, const QString &reason, QJsonObject &json);

    bool headed = false;
    bool failed = false;
    QJsonArray files;
};

void Analysis::File(const QString &path)
{
    Steps() << "Analysing " << DisplayedPath(path) << Qt::endl;
    QJsonObject json{{QStringLiteral("file"), path}};
    if (isSoundFile(path))
        soundFile(path, json);
    else
        audioFile(path, json);
    files << json;
}

void Analysis::audioFile(const QString &path, QJsonObject &json)
{
    AudioFileAnalysis analysis;
    if (!AnalyseAudioFile(path, analysis)) {
        refuse(path, analysis.Reason, json);
        return;
    }
    row(analysis.Signal, DisplayedPath(path));
    json.insert(QStringLiteral("kind"), QStringLiteral("audio"));
    json.insert(QStringLiteral("format"), FormatJson(analysis.Source));
    const QJsonObject figures = AnalysisJson(analysis.Signal);
    for (auto it = figures.constBegin(); it != figures.constEnd(); ++it)
        json.insert(it.key(), it.value());
    json.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(analysis.Warnings));
    for (const QString &warning : std::as_const(analysis.Warnings))
        Err() << "qmstool: " << DisplayedPath(path) << ": " << Printable(warning) << Qt::endl;
}

void Analysis::soundFile(const QString &path, QJsonObject &json)
{
    SoundFileReader reader;
    if (!reader.Open(path)) {
        refuse(path,
               reader.CannotRead() ? reader.ErrorString()
                                   : QStringLiteral("it is not a valid sound file: %1")
                                         .arg(reader.Info().Problems.join(QStringLiteral("; "))),
               json);
        return;
    }
    json.insert(QStringLiteral("kind"), QStringLiteral("sound file"));
    QJsonArray layers;
    const SoundFileInfo &info = reader.Info();
    for (int k = 0; k < info.LayerCount; ++k) {
        QByteArray slot;
        if (!reader.ReadSlot(k, slot)) {
            refuse(
                path,
                QStringLiteral("layer %1 cannot be read: %2").arg(k + 1).arg(reader.ErrorString()),
                json);
            break;
        }
        const SoundFileLayer &layer = info.Layers.at(k);
        const SignalAnalysis analysis = analyseSlot(slot);
        row(analysis,
            QStringLiteral("%1, layer %2: %3").arg(path, QString::number(k + 1), layer.Name));
        QJsonObject entry = AnalysisJson(analysis);
        entry.insert(QStringLiteral("layer"), k + 1);
        entry.insert(QStringLiteral("name"), layer.Name);
        entry.insert(QStringLiteral("threshold"), layer.Threshold);
        layers << entry;
    }
    json.insert(QStringLiteral("layers"), layers);
    if (info.LayerCount == 0)
        Err() << "qmstool: " << DisplayedPath(path) << ": it holds no layers" << Qt::endl;
}

void Analysis::row(const SignalAnalysis &analysis, const QString &name)
{
    if (!headed)
        Results() << AnalysisHeading() << Qt::endl;
    headed = true;
    Results() << AnalysisRow(analysis, name) << Qt::endl;
}

void Analysis::refuse(const QString &path, const QString &reason, QJsonObject &json)
{
    Err() << "qmstool: " << DisplayedPath(path) << ": not analysed: " << Printable(reason)
          << Qt::endl;
    json.insert(QStringLiteral("error"), reason);
    failed = true;
}

int Analysis::Finish()
{
    if (CurrentOutputMode().Json)
        PrintJson({{QStringLiteral("files"), files}});
    return failed ? ExitStatus::Refused : ExitStatus::Success;
}

int runAnalyze(const Invocation &invocation)
{
    const QStringList paths = invocation.Positional();
    if (const auto usage = RefuseStandardStreams(paths))
        return *usage;
    if (paths.isEmpty())
        return UsageError(QStringLiteral("analyze needs at least one audio or sound file"));
    Analysis analysis;
    for (const QString &path : paths)
        analysis.File(path);
    return analysis.Finish();
}

} // namespace

const Command &AnalyzeCommand()
{
    static const Command command{
        QStringLiteral("analyze"),
        QStringLiteral("Measure audio files and the layers of sound files: length, peaks, "
                       "loudness, silent edges, clipped samples."),
        QStringLiteral(
            "Measures each audio file (decoded as convert decodes it, its channels folded into "
            "one, at its own rate) and each layer of a sound file (its samples as extract writes "
            "them): the length in seconds, the sample peak (dBFS), the true peak (dBTP) and the "
            "integrated loudness (LUFS) as EBU R128 measures them, the silence before the first "
            "sample and after the last that reach %1 dBFS, and the samples at full scale. "
            "\"-inf\" is the level of silence.")
            .arg(SignalAnalysis::DefaultSilence),
        {QStringLiteral("FILE...")},
        {},
        {QStringLiteral("FILE"), QStringLiteral("The audio or sound files."),
         QStringLiteral("FILE..."), ValueKind::AudioFile},
        runAnalyze,
    };
    return command;
}
