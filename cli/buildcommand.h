#ifndef BUILDCOMMAND_H
#define BUILDCOMMAND_H

#include <QStringList>

// qmstool build -o OUT.qms [-t T1,...,Tn] WAV1 [WAV2 ... WAV8]: writes a sound
// file of the given layers, in the given order, exactly as the window's
// Generate does. Returns the exit status.
int RunBuild(const QStringList &arguments);

#endif // BUILDCOMMAND_H
