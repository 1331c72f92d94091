#include "commandline.h"

#include "bashcompletion.h"
#include "commandhelp.h"
#include "commands.h"
#include "console.h"

#include <QCoreApplication>

#include <optional>

namespace {

// Whether `word` is an option of every command (--quiet, -q, --verbose, ...).
bool isCommonOption(const QString &word)
{
    for (const CommandOption &option : CommonOptions()) {
        for (const QString &name : option.Names) {
            if (word == (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name)
                return true;
        }
    }
    return false;
}

// What an option before any command does on its own: the help, the version,
// and the texts the build makes the man page and the shell completion from.
std::optional<int> runProgramOption(const QString &word)
{
    QString text;
    if (word == QLatin1String("-h") || word == QLatin1String("--help") ||
        word == QLatin1String("--help-all"))
        text = ProgramHelp();
    else if (word == QLatin1String("--version"))
        text = QStringLiteral("qmstool %1\n").arg(QCoreApplication::applicationVersion());
    else if (word == QLatin1String("--man-synopsis"))
        text = ManPageSynopsis();
    else if (word == QLatin1String("--bash-completion"))
        text = BashCompletionScript();
    else
        return std::nullopt;
    Out() << text << Qt::flush;
    return ExitStatus::Success;
}

int runCommand(const Command &command, const QStringList &arguments)
{
    SetCurrentCommand(command.Name);
    Invocation invocation(command);
    const bool parsed = invocation.Parse(arguments);
    if (invocation.HelpAsked()) {
        Out() << invocation.HelpText() << Qt::flush;
        return ExitStatus::Success;
    }
    if (!parsed)
        return UsageError(invocation.ErrorText());
    OutputMode mode;
    mode.Quiet = invocation.IsSet(QStringLiteral("quiet"));
    mode.Json = invocation.IsSet(QStringLiteral("json"));
    mode.Verbose = invocation.IsSet(QStringLiteral("verbose"));
    mode.Debug = invocation.IsSet(QStringLiteral("debug"));
    SetOutputMode(mode);
    return command.Run(invocation);
}

} // namespace

int RunCommandLine(const QStringList &arguments)
{
    QStringList common; // options of every command, given before its name
    int at = 1;
    for (; at < arguments.size(); ++at) {
        const QString &word = arguments.at(at);
        if (!word.startsWith(QLatin1Char('-')) || word == QLatin1String("-"))
            break;
        if (const auto done = runProgramOption(word))
            return *done;
        if (!isCommonOption(word))
            return UsageError(QStringLiteral("unknown option \"%1\"").arg(word));
        common << word;
    }
    if (at == arguments.size())
        return UsageError(QStringLiteral("no command given"));
    const Command *command = FindCommand(arguments.at(at));
    if (!command)
        return UsageError(QStringLiteral("unknown command \"%1\"").arg(arguments.at(at)));
    return runCommand(*command, arguments.mid(0, 1) + common + arguments.mid(at + 1));
}
