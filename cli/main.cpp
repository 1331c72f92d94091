#include "buildcommand.h"
#include "checkcommand.h"
#include "console.h"
#include "convertcommand.h"
#include "extractcommand.h"
#include "inspectcommand.h"

#include "core/cleanupregistry.h"

#include <QCoreApplication>
#include <QFile>

#include <optional>

namespace {

struct Command
{
    const char *name;
    const char *synopsis;
    int (*run)(const QStringList &arguments);
};

const Command Commands[] = {
    {"build",
     "build -o OUT.qms [-t T1,...,Tn] [--convert] WAV1 [WAV2 ... WAV8]\n"
     "      Write a sound file of 1 to 8 layers, in the given order; --convert takes\n"
     "      audio files in other formats too.",
     RunBuild},
    {"check",
     "check WAV...\n"
     "      Tell for each WAV file its slot size, or why it cannot be a layer.",
     RunCheck},
    {"convert",
     "convert -o OUT.wav INPUT | convert -d DIR INPUT...\n"
     "      Write a copy of audio files (WAV, AIFF, FLAC, Ogg, Opus, MP3) that can be a layer.",
     RunConvert},
    {"extract",
     "extract [-d DIR] FILE.qms\n"
     "      Write a sound file's layers as WAV files; print the build command that remakes it.",
     RunExtract},
    {"inspect",
     "inspect [--json] FILE.qms\n"
     "      Show a sound file's header and layers and check it against the format.",
     RunInspect},
};

void showHelp()
{
    Out() << "Usage: qmstool COMMAND [options] [arguments]\n"
             "Packs WAV recordings (44100 Hz, 16-bit, mono) into .qms sound files, unpacks "
             "them, and checks both.\n\nCommands:\n";
    for (const Command &command : Commands)
        Out() << "  " << command.synopsis << "\n";
    Out() << "\nOptions:\n"
             "  -h, --help  Show this help; after a command, the command's help.\n"
             "  --version   Show the version.\n"
             "\nExit status: 0 done, 1 an input refused, a file not written or a sound file not "
             "valid, 2 a usage error."
          << Qt::endl;
}

// A path is acted on exactly as given: an argument whose bytes do not survive
// the way to text and back (not valid UTF-8) would name another file.
std::optional<int> refuseInexactArgument(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) == raw)
            continue;
        QString shown;
        for (const char byte : raw) {
            const uchar u = uchar(byte);
            shown += u < 0x80 ? QString(QLatin1Char(byte))
                              : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        }
        return UsageError(QStringLiteral("argument \"%1\" is not valid UTF-8; qmstool acts only on "
                                         "names it can use exactly as given")
                              .arg(shown));
    }
    return std::nullopt;
}

int run(int argc, char *argv[])
{
    if (const auto refused = refuseInexactArgument(argc, argv))
        return *refused;

    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return UsageError(QStringLiteral("no command given"));
    const QString first = arguments.at(1);
    if (first == QLatin1String("-h") || first == QLatin1String("--help") ||
        first == QLatin1String("help")) {
        showHelp();
        return ExitStatus::Success;
    }
    if (first == QLatin1String("--version")) {
        Out() << QCoreApplication::applicationName() << " "
              << QCoreApplication::applicationVersion() << Qt::endl;
        return ExitStatus::Success;
    }
    arguments.removeAt(1);
    for (const Command &command : Commands) {
        if (first == QLatin1String(command.name))
            return command.run(arguments);
    }
    return UsageError(QStringLiteral("unknown command \"%1\"").arg(first));
}

} // namespace

int main(int argc, char *argv[])
{
    GuardStandardDescriptors();
    // Before anything that may leave a temporary file or folder behind: the
    // sound file and converted copies being written, build --convert's
    // scratch folder.
    RemoveTemporaryFilesOnSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qmstool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QMS_VERSION));
    ShowDebugLines(false);
    return FinishOutput(run(argc, argv));
}
