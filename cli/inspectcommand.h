#ifndef INSPECTCOMMAND_H
#define INSPECTCOMMAND_H

#include "command.h"

// qmstool inspect FILE.qms: prints a sound file's header and layers and
// checks the file against the format.
const Command &InspectCommand();

#endif // INSPECTCOMMAND_H
