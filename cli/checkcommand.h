#ifndef CHECKCOMMAND_H
#define CHECKCOMMAND_H

#include "command.h"

// qmstool check WAV...: one line per file, its duration and slot size or why
// the WAV import refuses it.
const Command &CheckCommand();

#endif // CHECKCOMMAND_H
