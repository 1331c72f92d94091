#include "buildcommand.h"

#include "audioreport.h"
#include "console.h"
#include "filecheck.h"
#include "preparationoptions.h"
#include "scratchfolder.h"
#include "thresholdlist.h"
#include "waverefusal.h"

#include "audio/audioconverter.h"
#include "audio/conversionoffer.h"
#include "core/addlayer.h"
#include "core/duration.h"
#include "core/layertable.h"
#include "core/thresholdrules.h"
#include "soundfile/soundfileformat.h"
#include "soundfile/soundfilereader.h"
#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "soundfile/writefailure.h"
#include "wav/wavefilereader.h"

#include <QFile>
#include <QJsonArray>

#include <optional>

#include <sys/stat.h>

namespace {

const QString OutputOption = QStringLiteral("output");
const QString ThresholdsOption = QStringLiteral("thresholds");
const QString ConvertOption = QStringLiteral("convert");
const QString ForceOption = QStringLiteral("force");

// What the command line asks for.
struct BuildRequest
{
    QString Output;
    QStringList Inputs;
    QList<int> Thresholds; // empty: the even spread
    bool Convert = false;
    bool Force = false;
    Preparation Prepared; // of every input, with --convert
};

std::optional<int> readRequest(const Invocation &invocation, BuildRequest &request)
{
    request.Inputs = invocation.Positional();
    request.Output = invocation.Value(OutputOption);
    request.Convert = invocation.IsSet(ConvertOption);
    request.Force = invocation.IsSet(ForceOption);
    if (invocation.Values(OutputOption).size() != 1 || request.Output.isEmpty())
        return UsageError(QStringLiteral("build needs one output file: -o OUT.qms"));
    if (const auto usage = RefuseStandardStreams(request.Inputs + QStringList{request.Output}))
        return usage;
    if (request.Inputs.isEmpty() || request.Inputs.size() > Limits::LayerCount) {
        return UsageError(QStringLiteral("build takes 1 to %1 WAV files, not %2")
                              .arg(Limits::LayerCount)
                              .arg(request.Inputs.size()));
    }
    if (invocation.IsSet(ThresholdsOption)) {
        QString error;
        if (invocation.Values(ThresholdsOption).size() != 1)
            return UsageError(QStringLiteral("give the thresholds once, with one -t"));
        if (!ParseThresholdList(invocation.Value(ThresholdsOption), int(request.Inputs.size()),
                                request.Thresholds, error))
            return UsageError(error);
    }
    if (const auto usage = ReadPreparation(invocation, request.Prepared))
        return usage;
    if (request.Prepared.Any() && !request.Convert) {
        return UsageError(QStringLiteral("%1 needs --convert, which makes the copies it prepares")
                              .arg(FirstPreparationOption(invocation)));
    }
    return std::nullopt;
}

// An input converted for this build: its layer and the file it came from.
struct ConvertedInput
{
    int Layer;
    QString Path;
    FileIdentity Identity;
};

// One build: the layers added one after another as the window adds them,
// then the sound file written.
class SoundFileBuild
{
public:
    explicit SoundFileBuild(const BuildRequest &request) : request(request) {}

    int Run();

private:
    QString outputRefusal() const;
    bool addLayers();
    bool addAsGiven(const QString &input, QJsonObject &layer);
    bool addConverted(const QString &input, QJsonObject &layer);
    QString outputIsConvertedInput() const;
    int write();
    int refuse(const QString &message);

    const BuildRequest &request;
    LayerTable table;
    ScratchFolder scratch; // the converted copies, gone when the build ends
    QList<ConvertedInput> converted;
    QJsonArray layers;
};

int SoundFileBuild::Run()
{
    const QString refusal = outputRefusal();
    if (!refusal.isEmpty())
        return refuse(QStringLiteral("%1 not written: %2").arg(request.Output, refusal));
    if (!addLayers())
        return refuse(QStringLiteral("%1 not written").arg(request.Output));
    const QString input = outputIsConvertedInput();
    if (!input.isEmpty())
        return refuse(QStringLiteral("%1 not written: %2").arg(request.Output, input));
    if (!request.Thresholds.isEmpty())
        ApplyThresholds(table.LayerThreshold, table.LayerCount, request.Thresholds);
    return write();
}

// A file at the output is replaced by a rebuild, not by surprise: only a
// valid sound file is, unless --force. Why not, or "".
QString SoundFileBuild::outputRefusal() const
{
    struct stat info;
    if (request.Force || ::stat(QFile::encodeName(request.Output).constData(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return QString(); // nothing there, or what the writer refuses with its own reason
    const FileIdentity output{quint64(info.st_dev), quint64(info.st_ino)};
    for (const QString &input : request.Inputs) {
        FileIdentity identity;
        if (IdentityOf(input, identity) && identity == output)
            return QString(); // the writer names the layer
    }
    SoundFileReader reader;
    if (reader.Open(request.Output))
        return QString();
    return QStringLiteral("%1; -f or --force replaces it")
        .arg(IsWaveFile(request.Output) ? QStringLiteral("it is a WAV file, not a sound file")
                                        : QStringLiteral("it is not a sound file"));
}

bool SoundFileBuild::addLayers()
{
    for (const QString &input : request.Inputs) {
        const int layer = table.LayerCount + 1;
        QJsonObject json{{QStringLiteral("layer"), layer}, {QStringLiteral("file"), input}};
        // A preparation makes a copy of every input, WAV files that could be
        // layers as they are included.
        const bool added =
            request.Prepared.Any() ? addConverted(input, json) : addAsGiven(input, json);
        if (added) {
            const qint32 size = table.LayerSize[layer - 1];
            json.insert(QStringLiteral("name"), table.LayerName[layer - 1]);
            json.insert(QStringLiteral("slot_size"), size);
            json.insert(QStringLiteral("seconds"), SecondsOfBytes(size));
            Steps() << "Layer " << layer << ": " << Printable(table.LayerName[layer - 1]) << ", "
                    << SecondsText(SecondsOfBytes(size)) << ", slot " << size << " bytes"
                    << Qt::endl;
        }
        layers << json;
        if (!added)
            return false;
    }
    return true;
}

// Adds `input` as the next layer as the window would, or with --convert a
// copy of it where the WAV check refuses it for its format. False, said on
// standard error, when neither can be.
bool SoundFileBuild::addAsGiven(const QString &input, QJsonObject &layer)
{
    LayerCheck check = AddLayer(table, input, CheckWaveFile);
    if (check.Accepted())
        return true;
    const ConversionOffer offer = OfferConversion(input, check);
    if (offer.Possible && request.Convert)
        return addConverted(input, layer);
    check.Reason = offer.Reason;
    Err() << "qmstool: layer " << table.LayerCount + 1 << ", " << DisplayedPath(input) << ": "
          << DescribeWaveRefusal(check) << "\n";
    if (offer.Possible)
        Err() << "qmstool: \"qmstool convert\" makes a copy of it that can be a "
                 "layer; \"build --convert\" converts it for this build only\n";
    layer.insert(QStringLiteral("error"), DescribeWaveRefusal(check));
    return false;
}

// Converts `input` (prepared as asked) into the scratch folder and adds the
// copy as the next layer. With --fit, a sound too long for the space left is
// cut to fit it. False, said on standard error, when that fails.
bool SoundFileBuild::addConverted(const QString &input, QJsonObject &layer)
{
    const int number = table.LayerCount + 1;
    const QString copy = scratch.PathFor(number - 1, ConvertedCopyName(input));
    Preparation preparation = request.Prepared;
    if (preparation.Fit) {
        // The space the file leaves: the header grows with the copy's name.
        SoundJob job = MakeSoundJob(table);
        job.FileName = LayerNameOf(request.Output);
        preparation.FitFrames =
            Preparation::FramesFittingSpace(SoundFileFormat::SpaceForLayer(job, LayerNameOf(copy)));
    }
    const bool prepared = preparation.Any();
    ConversionReport report;
    if (copy.isEmpty() || !ConvertAudioFile(input, copy, &report, {}, true, preparation)) {
        const QString reason = copy.isEmpty() ? scratch.ErrorString() : report.Reason;
        Err() << "qmstool: layer " << number << ", " << DisplayedPath(input)
              << ": not converted: " << Printable(reason) << "\n";
        layer.insert(QStringLiteral("error"), QStringLiteral("not converted: %1").arg(reason));
        return false;
    }
    layer.insert(QStringLiteral("conversion"),
                 ConversionJson(input, LayerNameOf(copy), report, prepared));
    Results() << "Layer " << number << ": "
              << DescribeConversion(input, LayerNameOf(copy), report, prepared) << Qt::endl;
    const LayerCheck check = AddLayer(table, copy, CheckWaveFile);
    if (!check.Accepted()) {
        Err() << "qmstool: layer " << number << ", " << DisplayedPath(input)
              << ", converted: " << DescribeWaveRefusal(check) << "\n";
        layer.insert(QStringLiteral("error"), DescribeWaveRefusal(check));
        return false;
    }
    FileIdentity identity;
    IdentityOf(input, identity);
    converted << ConvertedInput{number, input, identity};
    return true;
}

// The writer sees the copies, not the inputs they came from: an output that
// is one of those is refused here. Why, or "".
QString SoundFileBuild::outputIsConvertedInput() const
{
    FileIdentity output;
    for (const ConvertedInput &input : converted) {
        if (IdentityOf(request.Output, output) && output == input.Identity)
            return QStringLiteral("it is the input of layer %1, %2")
                .arg(input.Layer)
                .arg(DisplayedPath(input.Path));
    }
    return QString();
}

int SoundFileBuild::write()
{
    table.SoundFilePath = request.Output;
    table.SoundFileName = LayerNameOf(request.Output);
    const SoundJob job = MakeSoundJob(table);
    Steps() << "Writing " << Printable(request.Output) << " with thresholds";
    for (int layer = 1; layer <= table.LayerCount; ++layer)
        Steps() << " " << table.LayerThreshold[layer];
    Steps() << Qt::endl;
    const WriteReport report = WriteSoundFile(job);
    if (!report.Written())
        return refuse(QStringLiteral("%1 not written: %2")
                          .arg(request.Output, DescribeWriteFailure(job, report)));

    // As the window's available-space bar counts: of the largest slot.
    const double used = SecondsOfBytes(table.UsedSpace);
    const double capacity = SecondsOfSpace();
    const int percent = 100 - AvailableSpacePercent(table.UsedSpace);
    Results() << "Wrote " << Printable(request.Output) << ": " << table.LayerCount
              << (table.LayerCount == 1 ? " layer, " : " layers, ")
              << QStringLiteral("%1 s of %2 s, %3 %; %4 bytes")
                     .arg(used, 0, 'f', 1)
                     .arg(capacity, 0, 'f', 1)
                     .arg(percent)
                     .arg(report.BytesWritten)
              << Qt::endl;
    if (CurrentOutputMode().Json) {
        QJsonArray thresholds;
        for (int layer = 1; layer <= table.LayerCount; ++layer) {
            QJsonObject entry = layers.at(layer - 1).toObject();
            entry.insert(QStringLiteral("threshold"), table.LayerThreshold[layer]);
            layers.replace(layer - 1, entry);
        }
        for (int layer = 1; layer <= Limits::LayerCount; ++layer)
            thresholds << table.LayerThreshold[layer];
        PrintJson({{QStringLiteral("output"), request.Output},
                   {QStringLiteral("written"), true},
                   {QStringLiteral("layers"), layers},
                   {QStringLiteral("thresholds"), thresholds},
                   {QStringLiteral("bytes"), report.BytesWritten},
                   {QStringLiteral("seconds_used"), used},
                   {QStringLiteral("seconds_left"), SecondsFree(table.UsedSpace)},
                   {QStringLiteral("percent"), percent}});
    }
    return ExitStatus::Success;
}

int SoundFileBuild::refuse(const QString &message)
{
    return Refuse(message, {{QStringLiteral("output"), request.Output},
                            {QStringLiteral("written"), false},
                            {QStringLiteral("layers"), layers}});
}

int runBuild(const Invocation &invocation)
{
    BuildRequest request;
    if (const auto usage = readRequest(invocation, request))
        return *usage;
    return SoundFileBuild(request).Run();
}

} // namespace

const Command &BuildCommand()
{
    static const Command command{
        QStringLiteral("build"),
        QStringLiteral("Write a sound file of 1 to 8 layers, in the given order; --convert takes "
                       "audio files in other formats too, and prepares every input as asked."),
        QStringLiteral("Writes a sound file of 1 to 8 WAV layers (44100 Hz, 16-bit, mono PCM), "
                       "layer 1 first. A file at OUT.qms is replaced only when it is a sound "
                       "file (a rebuild) or with --force, and then only by a complete new one.\n"
                       "With --convert, the preparation options prepare a copy of every input, "
                       "WAV files of a layer's format included, as convert does; --fit cuts a "
                       "sound to the space the layers before it leave."),
        {QStringLiteral("-o OUT.qms [-t T1,...,Tn] [--convert %1] [-f] WAV1 [WAV2 ... WAV8]")
             .arg(PreparationForm())},
        QList<CommandOption>{
            {{QStringLiteral("o"), OutputOption},
             QStringLiteral("Write the sound file to <file>."),
             QStringLiteral("file"),
             ValueKind::SoundFile},
            {{QStringLiteral("t"), ThresholdsOption},
             QStringLiteral(
                 "The layers' thresholds, comma-separated, falling strictly from at most "
                 "%1 to 1 (default: the even spread).")
                 .arg(Limits::ThresholdCeiling),
             QStringLiteral("list")},
            {{ConvertOption},
             QStringLiteral("Convert inputs in another format (any audio file qmstool convert "
                            "takes) into a temporary folder for this build only; their layer names "
                            "are <base name>.wav.")},
            {{QStringLiteral("f"), ForceOption},
             QStringLiteral("Replace a file at OUT.qms even when it is not a sound file.")}} +
            PreparationOptions(),
        {QStringLiteral("WAV"), QStringLiteral("The layers' WAV files, 1 to 8, layer 1 first."),
         QStringLiteral("WAV1 [WAV2 ... WAV8]"), ValueKind::AudioFile},
        runBuild,
    };
    return command;
}
