#ifndef BASHCOMPLETION_H
#define BASHCOMPLETION_H

#include <QString>

// A bash completion script for qmstool, made from the commands' descriptions:
// command names, each command's options, and for values and arguments the
// files of their kind (sound files, WAV or audio files, folders). Made at
// build time (qmstool --bash-completion) and installed as
// share/bash-completion/completions/qmstool.
QString BashCompletionScript();

#endif // BASHCOMPLETION_H
