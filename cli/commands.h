#ifndef COMMANDS_H
#define COMMANDS_H

#include "command.h"

#include <QList>

// Every command of qmstool, in the order the help lists them. A command is
// one description (command.h) and one line in this list.
const QList<const Command *> &AllCommands();

// The command called `name`; nullptr when there is none.
const Command *FindCommand(const QString &name);

#endif // COMMANDS_H
