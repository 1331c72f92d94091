#include "commandparser.h"

#include "console.h"

namespace {
const QString VerboseName = QStringLiteral("verbose");
}

void AddCommonOptions(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addOption(QCommandLineOption(
        VerboseName, QStringLiteral("Print every step of the work to standard error.")));
}

std::optional<int> ParseCommand(QCommandLineParser &parser, const QStringList &arguments,
                                const QString &usage)
{
    if (!parser.parse(arguments))
        return UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        // Qt's first line names the program alone; ours names the command.
        QString help = parser.helpText();
        help.replace(0, help.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: ") + usage);
        Out() << help << Qt::flush;
        return ExitStatus::Success;
    }
    ShowDebugLines(parser.isSet(VerboseName));
    return std::nullopt;
}
