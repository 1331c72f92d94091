#ifndef COMMAND_H
#define COMMAND_H

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// What a value on the command line names, for the shell's completion.
enum class ValueKind { None, SoundFile, WaveFile, AudioFile, Folder, CommandName };

// An option of a command.
struct CommandOption
{
    CommandOption(const QStringList &names, const QString &description,
                  const QString &valueName = QString(), ValueKind completion = ValueKind::None,
                  bool optionalValue = false)
        : Names(names), Description(description), ValueName(valueName), Completion(completion),
          OptionalValue(optionalValue)
    {}

    QStringList Names; // without dashes, the short one first: {"o", "output"}
    QString Description;
    QString ValueName; // "file"; empty for a switch
    ValueKind Completion = ValueKind::None;
    // The value may be left out, and is then given only as --name=value:
    // --name alone has the value "", and the next word is not its value.
    bool OptionalValue = false;
};

// The files or other words a command takes after its options.
struct CommandArguments
{
    QString Name; // "WAV"
    QString Description;
    QString Syntax; // "WAV1 [WAV2 ... WAV8]"
    ValueKind Completion = ValueKind::None;
};

class Invocation;

// One command of qmstool, described once. Its parser, its help, the list of
// commands, the man page's synopsis and the shell's completion are all made
// from this.
struct Command
{
    QString Name;
    QString Summary;     // a line or two in the list of commands
    QString Description; // the command's help, above its options
    QStringList Forms;   // how it is called, each after "qmstool <name> "
    QList<CommandOption> Options;
    CommandArguments Arguments;
    int (*Run)(const Invocation &invocation) = nullptr;
};

// The options every command takes, before or after its name: --quiet,
// --verbose, --json, --debug. (--help, -h and --help-all come from Qt.)
const QList<CommandOption> &CommonOptions();

// The command line of one command, parsed against its description.
class Invocation
{
public:
    explicit Invocation(const Command &command);
    Invocation(const Invocation &) = delete;
    Invocation &operator=(const Invocation &) = delete;

    // Parses `arguments` (the program's name first, the command's name left
    // out). False on a usage error (ErrorText()); the help options are
    // looked at all the same.
    bool Parse(const QStringList &arguments);
    QString ErrorText() const { return ownError.isEmpty() ? parser.errorText() : ownError; }
    bool HelpAsked() const;
    // The command's help: its forms, description, options and arguments.
    QString HelpText() const;

    const Command &Described() const { return command; }
    bool IsSet(const QString &option) const { return parser.isSet(option); }
    QString Value(const QString &option) const { return parser.value(option); }
    QStringList Values(const QString &option) const { return parser.values(option); }
    QStringList Positional() const { return parser.positionalArguments(); }

private:
    const Command &command;
    QCommandLineParser parser;
    QString ownError; // a usage error Qt's parser does not see
};

#endif // COMMAND_H
