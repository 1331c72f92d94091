#ifndef FRAMESAMPLES_H
#define FRAMESAMPLES_H

struct AVFrame;

// Writes `count` frames of a decoded `frame`, from its frame `first` on, to
// `out` as interleaved float samples, full scale at 1.0, whatever the
// decoder's sample format (integer or float, planar or interleaved). False,
// writing nothing, for a sample format of none of these kinds.
bool CopyFrameSamples(const AVFrame *frame, int first, int count, float *out);

#endif // FRAMESAMPLES_H
