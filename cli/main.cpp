#include "buildcommand.h"
#include "checkcommand.h"
#include "console.h"
#include "inspectcommand.h"

#include <QCoreApplication>

namespace {

struct Command
{
    const char *name;
    const char *synopsis;
    int (*run)(const QStringList &arguments);
};

const Command Commands[] = {
    {"build",
     "build -o OUT.qms [-t T1,...,Tn] WAV1 [WAV2 ... WAV8]\n"
     "      Write a sound file of 1 to 8 layers, in the given order.",
     RunBuild},
    {"check",
     "check WAV...\n"
     "      Tell for each WAV file its slot size, or why it cannot be a layer.",
     RunCheck},
    {"inspect",
     "inspect [--json] FILE.qms\n"
     "      Show a sound file's header and layers and check it against the format.",
     RunInspect},
};

void showHelp()
{
    Out() << "Usage: qmstool COMMAND [options] [arguments]\n"
             "Packs WAV recordings (44100 Hz, 16-bit, mono) into .qms sound files, and checks "
             "both.\n\nCommands:\n";
    for (const Command &command : Commands)
        Out() << "  " << command.synopsis << "\n";
    Out() << "\nOptions:\n"
             "  -h, --help  Show this help; after a command, the command's help.\n"
             "  --version   Show the version.\n"
             "\nExit status: 0 done, 1 an input refused, a file not written or a sound file not "
             "valid, 2 a usage error."
          << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qmstool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QMS_VERSION));
    ShowDebugLines(false);

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
