#include "commandhelp.h"

#include "commands.h"
#include "console.h"

#include <QStringList>

namespace {

const QString ProgramForm = QStringLiteral("[OPTIONS] COMMAND [ARGUMENTS]");
const QString BareForm = QStringLiteral("[-h | --help | --version]");

// "-q, --quiet" or "    --verbose", with " <value>" for an option that takes one.
QString optionNames(const CommandOption &option)
{
    QStringList names;
    for (const QString &name : option.Names)
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString shown = names.join(QStringLiteral(", "));
    if (option.Names.first().size() > 1)
        shown.prepend(QStringLiteral("    "));
    if (option.OptionalValue)
        shown += QStringLiteral("[=<%1>]").arg(option.ValueName);
    else if (!option.ValueName.isEmpty())
        shown += QStringLiteral(" <%1>").arg(option.ValueName);
    return shown;
}

QString optionList(const QList<CommandOption> &options)
{
    int width = 0;
    for (const CommandOption &option : options)
        width = qMax(width, int(optionNames(option).size()));
    QString text;
    for (const CommandOption &option : options) {
        text += QStringLiteral("  %1  %2\n")
                    .arg(optionNames(option), -width)
                    .arg(WrapText(option.Description, width + 4));
    }
    return text;
}

// One word of a form in roff: options and command names bold, the rest of
// the words (what the user fills in) italic, brackets, bars and ellipses
// roman.
QString roffWord(const QString &word)
{
    int start = 0;
    int end = int(word.size());
    while (start < end && QStringLiteral("[(").contains(word.at(start)))
        ++start;
    while (end > start && QStringLiteral("])").contains(word.at(end - 1)))
        --end;
    QString core = word.mid(start, end - start);
    QString ellipsis;
    if (core.size() > 3 && core.endsWith(QLatin1String("..."))) {
        core.chop(3);
        ellipsis = QStringLiteral("...");
    }
    // An option's value, "--trim[=DB]" or "--loudness=LUFS": the value in
    // italics.
    const qsizetype equals =
        core.startsWith(QLatin1Char('-')) ? core.indexOf(QLatin1Char('=')) : -1;
    if (equals > 0) {
        const qsizetype name = core.at(equals - 1) == QLatin1Char('[') ? equals - 1 : equals;
        return word.left(start) + roffWord(core.left(name)) + core.mid(name, equals + 1 - name) +
               roffWord(core.mid(equals + 1)) + ellipsis + word.mid(end);
    }
    QString shown = core;
    if (!core.isEmpty() && core != QLatin1String("|") && core != QLatin1String("...")) {
        const bool literal = core.startsWith(QLatin1Char('-')) || core == core.toLower();
        shown = (literal ? QStringLiteral("\\fB") : QStringLiteral("\\fI")) +
                QString(core).replace(QLatin1Char('-'), QLatin1String("\\-")) +
                QStringLiteral("\\fR");
    }
    return word.left(start) + shown + ellipsis + word.mid(end);
}

QString roffSynopsis(const QString &command, const QString &form)
{
    QStringList words;
    if (!command.isEmpty())
        words << roffWord(command);
    for (const QString &word : form.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words << roffWord(word);
    return QStringLiteral(".SY qmstool\n%1\n.YS\n").arg(words.join(QLatin1Char(' ')));
}

} // namespace

QString ProgramHelp()
{
    QString help =
        QStringLiteral("Usage: qmstool %1\n"
                       "Packs WAV recordings (44100 Hz, 16-bit, mono) into .qms sound files, "
                       "unpacks them, and checks both.\n\nCommands:\n")
            .arg(ProgramForm);
    for (const Command *command : AllCommands()) {
        for (const QString &form : command->Forms) {
            help += QStringLiteral("  %1\n").arg(
                WrapText(command->Name + QLatin1Char(' ') + form, int(command->Name.size()) + 3));
        }
        help += QStringLiteral("      %1\n").arg(WrapText(command->Summary, 6));
    }
    QList<CommandOption> options = CommonOptions();
    options << CommandOption{{QStringLiteral("h"), QStringLiteral("help")},
                             QStringLiteral("Show the command's help and do nothing else "
                                            "(--help-all: the same).")};
    help += QStringLiteral("\nOptions of every command, before or after its name:\n") +
            optionList(options);
    help += QStringLiteral("\nWithout a command:\n") +
            optionList(
                {{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
                 {{QStringLiteral("version")}, QStringLiteral("Show the version.")}});
    help += QStringLiteral("\nExit status: 0 done, 1 an input refused, a file not written or a "
                           "sound file not valid, 2 a usage error.\n");
    return help;
}

QString ManPageSynopsis()
{
    QString roff = roffSynopsis(QString(), ProgramForm);
    for (const Command *command : AllCommands()) {
        for (const QString &form : command->Forms)
            roff += roffSynopsis(command->Name, form);
    }
    return roff + roffSynopsis(QString(), BareForm);
}
