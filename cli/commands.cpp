#include "commands.h"

#include "analyzecommand.h"
#include "buildcommand.h"
#include "checkcommand.h"
#include "commandhelp.h"
#include "console.h"
#include "convertcommand.h"
#include "extractcommand.h"
#include "inspectcommand.h"

namespace {

int runHelp(const Invocation &invocation)
{
    const QStringList names = invocation.Positional();
    if (names.size() > 1)
        return UsageError(QStringLiteral("help takes one command, not %1").arg(names.size()));
    if (names.isEmpty()) {
        Out() << ProgramHelp() << Qt::flush;
        return ExitStatus::Success;
    }
    const Command *command = FindCommand(names.first());
    if (!command)
        return UsageError(QStringLiteral("unknown command \"%1\"").arg(names.first()));
    Out() << Invocation(*command).HelpText() << Qt::flush;
    return ExitStatus::Success;
}

const Command &helpCommand()
{
    static const Command command{
        QStringLiteral("help"),
        QStringLiteral("Show the help of COMMAND, or this list."),
        QStringLiteral("Shows the help of a command, or the list of commands."),
        {QStringLiteral("[COMMAND]")},
        {},
        {QStringLiteral("COMMAND"), QStringLiteral("The command."), QStringLiteral("[COMMAND]"),
         ValueKind::CommandName},
        runHelp,
    };
    return command;
}

} // namespace

const QList<const Command *> &AllCommands()
{
    static const QList<const Command *> commands{
        &AnalyzeCommand(), &BuildCommand(),   &CheckCommand(), &ConvertCommand(),
        &ExtractCommand(), &InspectCommand(), &helpCommand(),
    };
    return commands;
}

const Command *FindCommand(const QString &name)
{
    for (const Command *command : AllCommands()) {
        if (command->Name == name)
            return command;
    }
    return nullptr;
}
