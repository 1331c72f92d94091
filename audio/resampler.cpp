#include "resampler.h"

#include <soxr.h>

#include <cmath>

Resampler::~Resampler()
{
    soxr_delete(resampler);
}

bool Resampler::Start(double inputRate, double outputRate)
{
    soxr_delete(resampler);
    resampler = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    resampler = soxr_create(inputRate, outputRate, 1, &error, &io, &quality, &runtime);
    ratio = outputRate / inputRate;
    return resampler && !error;
}

bool Resampler::Process(const float *input, qint64 count, std::vector<float> &output)
{
    return count <= 0 || run(input, count, output);
}

bool Resampler::Finish(std::vector<float> &output)
{
    return run(nullptr, 0, output);
}

bool Resampler::run(const float *input, qint64 count, std::vector<float> &output)
{
    if (!resampler)
        return false;
    // Room for what this input gives, and more while flushing.
    const size_t room = size_t(std::ceil(double(count) * ratio)) + 1024;
    size_t consumed = 0;
    for (;;) {
        const size_t start = output.size();
        output.resize(start + room);
        size_t used = 0;
        size_t made = 0;
        const soxr_error_t error = soxr_process(resampler, input ? input + consumed : nullptr,
                                                input ? size_t(count) - consumed : 0, &used,
                                                output.data() + start, room, &made);
        output.resize(start + made);
        if (error)
            return false;
        consumed += used;
        // Input is taken whole unless the output was full; a flush is done
        // when it gives less than there was room for.
        if (made < room && (!input || consumed >= size_t(count)))
            return true;
    }
}
