#ifndef CONVERTCOMMAND_H
#define CONVERTCOMMAND_H

#include "command.h"

// qmstool convert -o OUT.wav INPUT, qmstool convert -d DIR INPUT...: writes
// a copy of each audio file that can be a layer (44100 Hz, 16-bit, mono
// PCM).
const Command &ConvertCommand();

#endif // CONVERTCOMMAND_H
