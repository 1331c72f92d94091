#ifndef BUILDCOMMAND_H
#define BUILDCOMMAND_H

#include "command.h"

// qmstool build -o OUT.qms [-t T1,...,Tn] [--convert] [-f] WAV1 [WAV2 ...
// WAV8]: writes a sound file of the given layers, in the given order, exactly
// as the window's Generate does.
const Command &BuildCommand();

#endif // BUILDCOMMAND_H
