#ifndef FINITESAMPLES_H
#define FINITESAMPLES_H

#include <QtGlobal>

// Replaces each sample that is not a number by silence and each infinite one
// by full scale of its sign, so that one such sample cannot spread through
// the filters that follow. Returns how many were replaced.
qint64 ReplaceNonFinite(float *samples, qint64 count);

#endif // FINITESAMPLES_H
