#include "command.h"

#include "console.h"

#include <QLocale>

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
    // Qt's parser knows no option whose value may be left out: such an
    // option given alone (before a "--" that ends the options) gets an empty
    // value. A negative number after it was surely meant as its value: say
    // how to give that rather than take the number for options.
    QStringList words = arguments;
    for (qsizetype at = 1; at < words.size() && words.at(at) != QLatin1String("--"); ++at) {
        for (const CommandOption &option : command.Options) {
            const QString name = QLatin1String("--") + option.Names.last();
            if (!option.OptionalValue || words.at(at) != name)
                continue;
            words[at] += QLatin1Char('=');
            const QString next = words.value(at + 1);
            bool number = false;
            QLocale::c().toDouble(next, &number);
            if (number && next.startsWith(QLatin1Char('-')) && ownError.isEmpty())
                ownError = QStringLiteral("%1 takes its value after \"=\": %1=%2").arg(name, next);
        }
    }
    // Qt's parser reads every argument even after an error, so --help is
    // seen wherever it stands.
    return parser.parse(words) && ownError.isEmpty();
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
        const QString start = QStringLiteral("Usage: qmstool %1 ").arg(command.Name);
        QString line = WrapText(start + form, int(start.size()));
        if (!usage.isEmpty())
            line.replace(0, 6, QString(6, QLatin1Char(' ')));
        usage << line;
    }
    help.replace(0, help.indexOf(QLatin1Char('\n')), usage.join(QLatin1Char('\n')));
    // Qt shows every value as the next word; one that may be left out comes
    // only after "=", in the room of two of the spaces that follow it.
    for (const CommandOption &option : command.Options) {
        if (option.OptionalValue) {
            const QString name = QStringLiteral("--%1").arg(option.Names.last());
            help.replace(QStringLiteral("%1 <%2>  ").arg(name, option.ValueName),
                         QStringLiteral("%1[=<%2>]").arg(name, option.ValueName));
        }
    }
    return help;
}
