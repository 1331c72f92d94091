#ifndef COMMANDHELP_H
#define COMMANDHELP_H

#include <QString>

// qmstool's own help: how it is called, each command with its forms and
// summary, the options of every command and the exit status.
QString ProgramHelp();

// The SYNOPSIS of the man page, in roff: each form of each command, then the
// forms without a command. Made at build time (qmstool --man-synopsis).
QString ManPageSynopsis();

#endif // COMMANDHELP_H
