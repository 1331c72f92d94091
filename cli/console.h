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

#endif // CONSOLE_H
