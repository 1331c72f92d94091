#ifndef EXTRACTCOMMAND_H
#define EXTRACTCOMMAND_H

#include <QStringList>

// qmstool extract [-d DIR] FILE.qms: writes each layer of a sound file as a
// WAV file and prints the build command that makes the file again from
// them. Returns the exit status.
int RunExtract(const QStringList &arguments);

#endif // EXTRACTCOMMAND_H
