#include "convertcommand.h"

#include "audioreport.h"
#include "console.h"
#include "preparationoptions.h"
#include "scratchfolder.h"
#include "standardstreams.h"
#include "waverefusal.h"

#include "audio/audioconverter.h"
#include "audio/conversionoffer.h"
#include "core/layertable.h"
#include "wav/inputfile.h"

#include <QFile>
#include <QJsonArray>

#include <optional>

#include <sys/stat.h>

namespace {

const QString OutputOption = QStringLiteral("output");
const QString FolderOption = QStringLiteral("directory");
const QString ForceOption = QStringLiteral("force");
const QString Standard = QStringLiteral("-");

// One copy to make: the file read and the file written, and how the user
// named them.
struct Copy
{
    QString Input;
    QString ShownInput;
    QString Output;
    QString ShownOutput;
    bool FromStandardInput = false;
    bool ToStandardOutput = false;
};

// What the command line asks for.
struct ConvertRequest
{
    QStringList Inputs;
    QString Output; // with -o
    QString Folder; // with -d
    bool Force = false;
    Preparation Prepared;
};

std::optional<int> readRequest(const Invocation &invocation, ConvertRequest &request)
{
    request.Inputs = invocation.Positional();
    request.Output = invocation.Value(OutputOption);
    request.Folder = invocation.Value(FolderOption);
    request.Force = invocation.IsSet(ForceOption);
    const int targets =
        int(invocation.Values(OutputOption).size() + invocation.Values(FolderOption).size());
    if (targets != 1 || (request.Output.isEmpty() && request.Folder.isEmpty()))
        return UsageError(QStringLiteral("convert needs one of -o OUT.wav or -d DIR"));
    if (request.Inputs.isEmpty())
        return UsageError(QStringLiteral("convert needs at least one input file"));
    if (!request.Output.isEmpty() && request.Inputs.size() != 1) {
        return UsageError(
            QStringLiteral("convert -o takes one input file, not %1; use -d DIR for more")
                .arg(request.Inputs.size()));
    }
    if (request.Folder == Standard)
        return UsageError(QStringLiteral("-d needs a folder; for standard output use -o -"));
    if (!request.Folder.isEmpty() && request.Inputs.contains(Standard))
        return UsageError(QStringLiteral("a copy of standard input needs a name: -o OUT.wav"));
    if (request.Output == Standard && CurrentOutputMode().Json)
        return UsageError(QStringLiteral("--json and -o - both need standard output"));
    return ReadPreparation(invocation, request.Prepared);
}

// The copies to make. Standard input is saved into `scratch` first; a copy
// for standard output is written there and sent on afterwards. Returns why
// that failed, or nothing.
QString planCopies(const ConvertRequest &request, ScratchFolder &scratch, QList<Copy> &copies)
{
    for (const QString &input : request.Inputs) {
        Copy copy;
        copy.Input = input;
        copy.ShownInput = DisplayedPath(input);
        copy.FromStandardInput = input == Standard;
        if (copy.FromStandardInput) {
            copy.ShownInput = QStringLiteral("standard input");
            copy.Input = scratch.PathFor(0, QStringLiteral("standard input"));
            if (copy.Input.isEmpty())
                return scratch.ErrorString();
            Steps() << "Saving standard input into " << Printable(copy.Input) << Qt::endl;
            QString error;
            if (!SaveStandardInput(copy.Input, error))
                return error;
        }
        copy.Output =
            request.Output.isEmpty() ? ConvertedCopyPath(input, request.Folder) : request.Output;
        copy.ShownOutput = Printable(copy.Output);
        copy.ToStandardOutput = copy.Output == Standard;
        if (copy.ToStandardOutput) {
            copy.ShownOutput = QStringLiteral("standard output");
            copy.Output = scratch.PathFor(1, QStringLiteral("copy.wav"));
            if (copy.Output.isEmpty())
                return scratch.ErrorString();
            ResultsToStandardError();
        }
        copies << copy;
    }
    return QString();
}

// Why `copy` is not made at all: a name no layer may have, or a file that
// would be replaced without --force. Empty when it may be made.
QString refusalBefore(const Copy &copy, const QList<FileIdentity> &untouchable, bool force)
{
    if (copy.ToStandardOutput)
        return QString();
    const int length = int(LayerNameOf(copy.Output).size());
    if (length > Limits::NameLength) {
        return QStringLiteral("its name has %1 characters, more than the %2 of a layer's name")
            .arg(length)
            .arg(Limits::NameLength);
    }
    struct stat info;
    FileIdentity identity;
    // An input there is refused by the conversion itself, with that reason.
    if (force || ::lstat(QFile::encodeName(copy.Output).constData(), &info) != 0 ||
        (IdentityOf(copy.Output, identity) && untouchable.contains(identity)))
        return QString();
    return QStringLiteral("a file of that name is there; -f or --force replaces it");
}

// Makes `copy`; says what was done or why not.
bool convert(const Copy &copy, const QList<FileIdentity> &untouchable,
             const ConvertRequest &request, QJsonArray &results)
{
    const bool force = request.Force;
    const bool prepared = request.Prepared.Any();
    ConversionReport report;
    report.Result = ConversionResult::NotWritten;
    report.Reason = refusalBefore(copy, untouchable, force);
    if (report.Reason.isEmpty()) {
        Steps() << "Converting " << copy.ShownInput << " into " << Printable(copy.Output)
                << Qt::endl;
        if (ConvertAudioFile(copy.Input, copy.Output, &report, untouchable,
                             force || copy.ToStandardOutput, request.Prepared) &&
            copy.ToStandardOutput && !SendToStandardOutput(copy.Output, report.Reason))
            report.Result = ConversionResult::NotWritten;
    }
    results << ConversionJson(copy.FromStandardInput ? Standard : copy.Input,
                              copy.ToStandardOutput ? Standard : copy.Output, report, prepared);
    if (report.Result == ConversionResult::Converted) {
        Results() << DescribeConversion(copy.ShownInput, copy.ShownOutput, report, prepared)
                  << Qt::endl;
        return true;
    }
    if (report.Result == ConversionResult::NotWritten) {
        Err() << "qmstool: " << copy.ShownInput << ": " << copy.ShownOutput
              << " not written: " << Printable(report.Reason) << Qt::endl;
    } else {
        Err() << "qmstool: " << copy.ShownInput << ": not converted: " << Printable(report.Reason)
              << Qt::endl;
    }
    return false;
}

int runConvert(const Invocation &invocation)
{
    ConvertRequest request;
    if (const auto usage = readRequest(invocation, request))
        return *usage;
    ScratchFolder scratch; // standard input and output, gone when the command ends
    QList<Copy> copies;
    const QString failure = planCopies(request, scratch, copies);
    if (!failure.isEmpty())
        return Refuse(failure, {{QStringLiteral("files"), QJsonArray()}});

    // No input is written over, nor a copy made earlier in this run.
    QList<FileIdentity> untouchable;
    for (const Copy &copy : copies) {
        FileIdentity identity;
        if (IdentityOf(copy.Input, identity))
            untouchable << identity;
    }
    bool allConverted = true;
    QJsonArray results;
    for (const Copy &copy : copies) {
        if (!convert(copy, untouchable, request, results)) {
            allConverted = false;
            continue;
        }
        FileIdentity written;
        if (IdentityOf(copy.Output, written))
            untouchable << written;
    }
    if (CurrentOutputMode().Json)
        PrintJson({{QStringLiteral("files"), results}});
    return allConverted ? ExitStatus::Success : ExitStatus::Refused;
}

} // namespace

const Command &ConvertCommand()
{
    static const Command command{
        QStringLiteral("convert"),
        QStringLiteral("Write a copy of audio files (WAV, AIFF, FLAC, Ogg, Opus, MP3, AAC, the "
                       "sound of videos, ...) that can be a layer, prepared as asked; - is "
                       "standard input or output."),
        QStringLiteral(
            "Writes a copy of audio files (WAV of any kind, AIFF, FLAC, Ogg Vorbis, Opus, MP3, "
            "AAC, ALAC, WMA, AC-3, the sound of MP4, QuickTime, Matroska and WebM videos) that can "
            "be a layer: 44100 Hz, 16-bit, mono PCM. The channels are folded into one, the rate "
            "converted, sources of more than 16 bits dithered. A source that ends early or holds "
            "samples that are not numbers is converted with a warning. An input is never written "
            "over; an existing file is replaced only with --force, and then only by a complete "
            "copy.\nThe preparation options work on the copy at 44100 Hz before it is reduced "
            "to 16 bits: the silence trimmed, the sound cut to fit, faded, then its loudness (as "
            "EBU R128 measures it) or peak set. Each line says what was done.\nINPUT - reads "
            "standard input, -o - writes the copy to standard output."),
        {QStringLiteral("-o OUT.wav [-f] %1 INPUT").arg(PreparationForm()),
         QStringLiteral("-d DIR [-f] %1 INPUT...").arg(PreparationForm())},
        QList<CommandOption>{
            {{QStringLiteral("o"), OutputOption},
             QStringLiteral("Write the copy of the one INPUT to <file> (- for standard output)."),
             QStringLiteral("file"),
             ValueKind::WaveFile},
            {{QStringLiteral("d"), FolderOption},
             QStringLiteral("Write each copy into <dir> as <base name>.wav (<base name> (44100 Hz "
                            "mono).wav where that is the input itself), the base name cut so that "
                            "the name has at most 80 characters."),
             QStringLiteral("dir"),
             ValueKind::Folder},
            {{QStringLiteral("f"), ForceOption},
             QStringLiteral("Replace a file that is there already (never an input).")}} +
            PreparationOptions(),
        {QStringLiteral("INPUT"), QStringLiteral("The audio files (- for standard input)."),
         QStringLiteral("INPUT..."), ValueKind::AudioFile},
        runConvert,
    };
    return command;
}
