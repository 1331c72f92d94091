#ifndef EXTRACTCOMMAND_H
#define EXTRACTCOMMAND_H

#include "command.h"

// qmstool extract [-d DIR] FILE.qms: writes each layer of a sound file as a
// WAV file and prints the build command that makes the file again from them.
const Command &ExtractCommand();

#endif // EXTRACTCOMMAND_H
