#ifndef CONSOLE_H
#define CONSOLE_H

#include <QString>
#include <QTextStream>

// What qmstool hands back to the shell.
namespace ExitStatus {
constexpr int Success = 0;
constexpr int Refused = 1;    // an input refused, a file not written, a sound file not valid
constexpr int UsageError = 2; // the command line itself is wrong
} // namespace ExitStatus

// Results go to standard output, messages to standard error.
QTextStream &Out();
QTextStream &Err();

// Writes "qmstool: <message>" and a hint at --help to standard error and
// returns ExitStatus::UsageError.
int UsageError(const QString &message);

// The core writes every step to the debug output; qmstool passes those lines
// on to standard error only when asked (--verbose) and drops them otherwise.
void ShowDebugLines(bool show);

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
