#include "command.h"

#include "console.h"

const QList<CommandOption> &CommonOptions()
{
    static const QList<CommandOption> options{
        {{QStringLiteral("q"), QStringLiteral("quiet")},
         QStringLiteral("Print nothing on standard output but what an option asks for (--json, "
                        "-o -); the exit status tells the outcome.")},
        {{QStringLiteral("verbose")}, QStringLiteral("Say on standard error what each step does.")},
        {{QStringLiteral("json")},
         QStringLiteral("Print the results as one JSON document on standard output.")},
        {{QStringLiteral("debug")},
         QStringLiteral("Pass the core's debug lines on to standard error.")},
    };
    return options;
}

namespace {

QCommandLineOption parserOption(const CommandOption &option)
{
    return QCommandLineOption(option.Names, option.Description, option.ValueName);
}

} // namespace

Invocation::Invocation(const Command &command) : command(command)
{
    parser.setApplicationDescription(WrapText(command.Description));
    parser.addHelpOption();
    for (const CommandOption &option : command.Options)
        parser.addOption(parserOption(option));
    for (const CommandOption &option : CommonOptions())
        parser.addOption(parserOption(option));
    parser.addPositionalArgument(command.Arguments.Name, command.Arguments.Description,
                                 command.Arguments.Syntax);
}

bool Invocation::Parse(const QStringList &arguments)
{
    // Qt's parser reads every argument even after an error, so --help is
    // seen wherever it stands.
    return parser.parse(arguments);
}

bool Invocation::HelpAsked() const
{
    return parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"));
}

QString Invocation::HelpText() const
{
    // Qt's first line names the program alone; ours gives each form.
    QString help = parser.helpText();
    QStringList usage;
    for (const QString &form : command.Forms) {
        usage << (usage.isEmpty() ? QStringLiteral("Usage: ") : QStringLiteral("       ")) +
                     QStringLiteral("qmstool %1 %2").arg(command.Name, form);
    }
    help.replace(0, help.indexOf(QLatin1Char('\n')), usage.join(QLatin1Char('\n')));
    return help;
}
