#include "inspectcommand.h"

#include "commandparser.h"
#include "console.h"
#include "inspectreport.h"

#include "soundfile/soundfilereader.h"

#include <QJsonDocument>

int RunInspect(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints a sound file's header and layers and checks the file against the format: the "
        "signature, the fixed bytes, the name list and filler, the header length, the block "
        "counts, page counts and data offsets, and the file's length."));
    AddCommonOptions(parser);
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print one JSON object instead of text."));
    parser.addOption(json);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The sound file."),
                                 QStringLiteral("FILE.qms"));
    if (const auto done =
            ParseCommand(parser, arguments, QStringLiteral("qmstool inspect [--json] FILE.qms")))
        return *done;

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("inspect takes one sound file, not %1").arg(files.size()));
    const QString path = files.first();

    const SoundFileInfo info = ReadSoundFileInfo(path);
    if (parser.isSet(json))
        Out() << QJsonDocument(InspectionJson(path, info)).toJson(QJsonDocument::Indented);
    else
        WriteInspection(Out(), path, info);
    Out() << Qt::flush;
    if (info.IsValid())
        return ExitStatus::Success;
    Err() << "qmstool: " << Printable(path) << " is not a valid sound file ("
          << info.Problems.size() << (info.Problems.size() == 1 ? " problem)" : " problems)")
          << Qt::endl;
    return ExitStatus::Refused;
}
