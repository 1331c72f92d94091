#ifndef SAMPLEQUANTIZER_H
#define SAMPLEQUANTIZER_H

#include <QtGlobal>

// Turns float samples (full scale at 1.0) into 16-bit ones. With dither, a
// triangular (TPDF) noise of one step either way is added before rounding,
// as for sources of more than 16 bits; without, the samples are rounded.
// A sample of exactly zero stays zero: digital silence gets no noise. What
// lies beyond full scale is clipped, and counted.
class SampleQuantizer
{
public:
    explicit SampleQuantizer(bool dither) : dither(dither) {}

    void Quantize(const float *input, qint64 count, qint16 *output);
    qint64 Clipped() const { return clipped; }

private:
    float noise();

    bool dither;
    quint32 state = 0x9E3779B9u; // the same noise on every run
    qint64 clipped = 0;
};

#endif // SAMPLEQUANTIZER_H
