#ifndef RESAMPLER_H
#define RESAMPLER_H

#include <QtGlobal>

#include <vector>

struct soxr;

// Converts a stream of mono float samples from one sample rate to another
// with libsoxr at its high quality (SOXR_HQ, the quality of sox's default
// `rate`). The output is aligned with the input: the filter's delay is
// taken out.
class Resampler
{
public:
    Resampler() = default;
    ~Resampler();
    Resampler(const Resampler &) = delete;
    Resampler &operator=(const Resampler &) = delete;

    bool Start(double inputRate, double outputRate);
    // Feeds `count` samples and appends what comes out to `output`.
    bool Process(const float *input, qint64 count, std::vector<float> &output);
    // Appends the samples still held back at the end of the input.
    bool Finish(std::vector<float> &output);

private:
    bool run(const float *input, qint64 count, std::vector<float> &output);

    soxr *resampler = nullptr;
    double ratio = 1.0;
};

#endif // RESAMPLER_H
