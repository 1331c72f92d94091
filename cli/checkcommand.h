#ifndef CHECKCOMMAND_H
#define CHECKCOMMAND_H

#include <QStringList>

// qmstool check WAV...: one line per file, its slot size or why the WAV
// import refuses it. Returns the exit status.
int RunCheck(const QStringList &arguments);

#endif // CHECKCOMMAND_H
