#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QStringList>

// Runs qmstool on `arguments` (the program's name first) and returns the exit
// status: the options of every command may stand before the command's name,
// which is then looked up and given the rest; --help, -h and --help-all
// anywhere after it show its help and do nothing else.
int RunCommandLine(const QStringList &arguments);

#endif // COMMANDLINE_H
