#ifndef PREPARATIONOPTIONS_H
#define PREPARATIONOPTIONS_H

#include "command.h"

#include "audio/preparation.h"

#include <QList>
#include <QString>

#include <optional>

// The options that prepare a layer's copy on its way in (--trim[=DB],
// --loudness, --peak, --fade, --fade-in, --fade-out, --fit), for the commands
// that convert: their descriptions, and how a form shows them.
const QList<CommandOption> &PreparationOptions();
QString PreparationForm();

// The preparation the command line asks for. A value that is no number, an
// option given twice, or choices that Preparation::Problem() refuses are a
// usage error, said and returned.
std::optional<int> ReadPreparation(const Invocation &invocation, Preparation &preparation);

// The first preparation option given, as the user writes it ("--loudness");
// "" when none is.
QString FirstPreparationOption(const Invocation &invocation);

#endif // PREPARATIONOPTIONS_H
