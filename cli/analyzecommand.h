#ifndef ANALYZECOMMAND_H
#define ANALYZECOMMAND_H

#include "command.h"

// qmstool analyze FILE...: the length, levels, loudness, silent edges and
// clipped samples of audio files and of each layer of sound files.
const Command &AnalyzeCommand();

#endif // ANALYZECOMMAND_H
