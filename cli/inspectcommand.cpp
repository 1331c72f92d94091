#include "inspectcommand.h"

#include "console.h"
#include "filecheck.h"
#include "inspectreport.h"
#include "waverefusal.h"

#include "soundfile/soundfilereader.h"

namespace {

// A file that is no sound file at all: only why, no table.
int refuse(const QString &path, const QString &error, QJsonObject json = {})
{
    json.insert(QStringLiteral("path"), path);
    json.insert(QStringLiteral("valid"), false);
    json.insert(QStringLiteral("error"), error);
    return Refuse(QStringLiteral("%1: %2").arg(path, error), json);
}

int refuseWaveFile(const QString &path)
{
    const FileCheck check = CheckFile(path);
    return refuse(path,
                  QStringLiteral("it is a WAV file, not a sound file; check says: %1")
                      .arg(FileCheckText(check)),
                  {{QStringLiteral("check"), FileCheckJson(check)}});
}

int runInspect(const Invocation &invocation)
{
    const QStringList files = invocation.Positional();
    if (const auto usage = RefuseStandardStreams(files))
        return *usage;
    if (files.size() != 1)
        return UsageError(QStringLiteral("inspect takes one sound file, not %1").arg(files.size()));
    const QString path = files.first();

    Steps() << "Reading the header of " << DisplayedPath(path) << Qt::endl;
    SoundFileReader reader;
    if (!reader.Open(path) && reader.CannotRead())
        return refuse(path, reader.ErrorString());
    SoundFileInfo info = reader.Info();
    if (!info.IsValid() && IsWaveFile(path))
        return refuseWaveFile(path);
    if (info.IsValid() && info.LayerCount == 0)
        info.Notes << QStringLiteral("it holds no layers");

    if (CurrentOutputMode().Json)
        PrintJson(InspectionJson(path, info));
    else
        WriteInspection(Results(), path, info);
    if (info.IsValid())
        return ExitStatus::Success;
    Err() << "qmstool: " << Printable(path) << " is not a valid sound file ("
          << info.Problems.size() << (info.Problems.size() == 1 ? " problem)" : " problems)")
          << Qt::endl;
    return ExitStatus::Refused;
}

} // namespace

const Command &InspectCommand()
{
    static const Command command{
        QStringLiteral("inspect"),
        QStringLiteral("Show a sound file's header and layers and check it against the format."),
        QStringLiteral("Prints a sound file's header and layers and checks the file against the "
                       "format: the signature, the fixed bytes, the name list and filler, the "
                       "header length, the block counts, page counts and data offsets, and the "
                       "file's length."),
        {QStringLiteral("FILE.qms")},
        {},
        {QStringLiteral("FILE"), QStringLiteral("The sound file."), QStringLiteral("FILE.qms"),
         ValueKind::SoundFile},
        runInspect,
    };
    return command;
}
