#ifndef INSPECTCOMMAND_H
#define INSPECTCOMMAND_H

#include <QStringList>

// qmstool inspect [--json] FILE.qms: prints a sound file's header and layers
// and checks the file against the format. Returns the exit status.
int RunInspect(const QStringList &arguments);

#endif // INSPECTCOMMAND_H
