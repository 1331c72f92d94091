#include "bashcompletion.h"

#include "commands.h"

#include "audio/audiofiletypes.h"

#include <QStringList>

namespace {

// How the script completes a value of `kind`: one of the cases of
// _qmstool_values below.
QString kindWord(ValueKind kind)
{
    switch (kind) {
    case ValueKind::None:
        return QStringLiteral("none");
    case ValueKind::SoundFile:
        return QStringLiteral("qms");
    case ValueKind::WaveFile:
        return QStringLiteral("wav");
    case ValueKind::AudioFile:
        return QStringLiteral("audio");
    case ValueKind::Folder:
        return QStringLiteral("folder");
    case ValueKind::CommandName:
        return QStringLiteral("command");
    }
    return QStringLiteral("none");
}

QStringList dashedNames(const QList<CommandOption> &options)
{
    QStringList names;
    for (const CommandOption &option : options) {
        for (const QString &name : option.Names)
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    }
    return names;
}

// The case of one command: its options, and what its option values and
// arguments name.
QString commandCase(const Command &command)
{
    const QStringList options =
        dashedNames(command.Options) + dashedNames(CommonOptions()) +
        QStringList{QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("--help-all")};
    QString values;
    for (const CommandOption &option : command.Options) {
        // A value that may be left out follows "=", never as the next word.
        if (option.ValueName.isEmpty() || option.OptionalValue)
            continue;
        values +=
            QStringLiteral("            %1) kind=%2 ;;\n")
                .arg(dashedNames({option}).join(QLatin1Char('|')), kindWord(option.Completion));
    }
    return QStringLiteral("        %1)\n"
                          "            options=\"%2\"\n"
                          "            case $prev in\n"
                          "%3"
                          "            *) kind=%4 ;;\n"
                          "            esac\n"
                          "            ;;\n")
        .arg(command.Name, options.join(QLatin1Char(' ')), values,
             kindWord(command.Arguments.Completion));
}

// _qmstool_files EXTENSION...: folders, and files with one of the extensions
// in either case.
const char *const FilesFunction = R"sh(
_qmstool_files()
{
    local extension
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
    for extension in "$@"; do
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -X "!*.$extension" -- "$cur")
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -X "!*.${extension^^}" -- "$cur")
    done
}
)sh";

// The start of _qmstool, up to the cases of the commands: %1 the commands,
// %2 the extensions of audio files.
const char *const Start = R"sh(
_qmstool()
{
    local commands="%1" audio="%2"
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command= options= kind=none i
    COMPREPLY=()
    # Before the command only options without a value stand.
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} != -* ]]; then
            command=${COMP_WORDS[i]}
            break
        fi
    done
    case $command in
)sh";

const char *const Ending = R"sh(    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    case $kind in
    command) mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur") ;;
    folder)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        ;;
    qms) _qmstool_files qms ;;
    wav) _qmstool_files wav ;;
    audio) _qmstool_files $audio ;;
    esac
}
complete -F _qmstool qmstool
)sh";

} // namespace

QString BashCompletionScript()
{
    QStringList names;
    for (const Command *command : AllCommands())
        names << command->Name;
    const QStringList top =
        dashedNames(CommonOptions()) +
        QStringList{QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("--version")};
    QString script = QStringLiteral("# bash completion for qmstool, made by qmstool "
                                    "--bash-completion from its commands\n") +
                     QString::fromLatin1(FilesFunction) +
                     QString::fromLatin1(Start).arg(names.join(QLatin1Char(' ')),
                                                    DecodableExtensions().join(QLatin1Char(' ')));
    script += QStringLiteral("        \"\")\n"
                             "            options=\"%1\"\n"
                             "            kind=command\n"
                             "            ;;\n")
                  .arg(top.join(QLatin1Char(' ')));
    for (const Command *command : AllCommands())
        script += commandCase(*command);
    return script + QString::fromLatin1(Ending);
}
