#ifndef COMMANDPARSER_H
#define COMMANDPARSER_H

#include <QCommandLineParser>
#include <QStringList>

#include <optional>

// Adds the options every command has (--help, --verbose) to `parser`.
void AddCommonOptions(QCommandLineParser &parser);

// Parses the arguments of one command (`arguments` starts with the program
// name, the command's name removed). Prints the command's help for --help,
// with `usage` as its first line, and switches the debug lines on for
// --verbose. Returns an exit status when the command is done (help shown or a
// usage error), nothing when it should go on.
std::optional<int> ParseCommand(QCommandLineParser &parser, const QStringList &arguments,
                                const QString &usage);

#endif // COMMANDPARSER_H
