#ifndef CONSOLE_H
#define CONSOLE_H

#include <QJsonObject>
#include <QString>
#include <QTextStream>

#include <optional>

// What qmstool hands back to the shell.
namespace ExitStatus {
constexpr int Success = 0;
constexpr int Refused = 1;    // an input refused, a file not written, a sound file not valid
constexpr int UsageError = 2; // the command line itself is wrong
} // namespace ExitStatus

// What goes where. Results go to standard output, messages to standard
// error.
struct OutputMode
{
    bool Quiet = false;   // --quiet: no text results
    bool Json = false;    // --json: one JSON document in place of the text results
    bool Verbose = false; // --verbose: each step said on standard error
    bool Debug = false;   // --debug: the core's debug lines on standard error
};
void SetOutputMode(const OutputMode &mode);
const OutputMode &CurrentOutputMode();

// Standard output and standard error as they are.
QTextStream &Out();
QTextStream &Err();
// The text results: standard output, or nowhere with --quiet or --json.
QTextStream &Results();
// What each step does, on standard error with --verbose, else nowhere.
QTextStream &Steps();
// Sends the text results to standard error from now on: standard output
// carries data (convert -o -).
void ResultsToStandardError();
// Prints `document` on standard output.
void PrintJson(const QJsonObject &document);

// A usage error when one of `paths` is "-": only convert reads standard
// input or writes standard output; a file called so is "./-".
std::optional<int> RefuseStandardStreams(const QStringList &paths);

// A refusal: "qmstool: <message>" on standard error; with --json also
// `json` on standard output, with "error": `message` unless it has one. Returns
// ExitStatus::Refused.
int Refuse(const QString &message, QJsonObject json = {});

// The command whose help a usage error points at; none at first.
void SetCurrentCommand(const QString &name);

// Writes "qmstool: <message>" and a hint at --help to standard error and
// returns ExitStatus::UsageError.
int UsageError(const QString &message);

// `text` broken into lines of at most 80 characters at spaces, each but the
// first indented by `indent` spaces; its own line breaks are kept.
QString WrapText(const QString &text, int indent = 0);

// `text` with every control character (C0, DEL and C1) written as \xHH, so
// that names from a file or a command line cannot steer the terminal.
QString Printable(const QString &text);

// Keeps the three standard descriptors taken, so that no file the program
// opens becomes its standard output by accident. Call first thing.
void GuardStandardDescriptors();

// Flushes the results to standard output. When they could not all be written
// (a closed standard output, a full disk), says so on standard error and
// turns a successful `exitStatus` into ExitStatus::Refused.
int FinishOutput(int exitStatus);

#endif // CONSOLE_H
