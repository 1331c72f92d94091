#include "loudnessmeter.h"

#include "decibels.h"

#include <ebur128.h>

#include <cmath>
#include <limits>

namespace {

constexpr double Silence = -std::numeric_limits<double>::infinity();
// libebur128's block, and the longest window it keeps in its momentary mode.
constexpr qint64 BlockMilliseconds = 400;

} // namespace

struct LoudnessMeter::State
{
    ebur128_state *meter;
};

LoudnessMeter::LoudnessMeter(int sampleRate, Measures measures)
    : rate(sampleRate), loudness(measures != Measures::TruePeakOnly)
{
    const int mode = measures == Measures::Everything     ? EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK
                     : measures == Measures::LoudnessOnly ? EBUR128_MODE_I
                                                          : EBUR128_MODE_TRUE_PEAK;
    ebur128_state *meter =
        sampleRate > 0 ? ebur128_init(1, (unsigned long)sampleRate, mode) : nullptr;
    if (meter)
        state = new State{meter};
}

LoudnessMeter::~LoudnessMeter()
{
    if (state)
        ebur128_destroy(&state->meter);
    delete state;
}

void LoudnessMeter::Add(const float *samples, qint64 count)
{
    if (!state || count <= 0)
        return;
    if (ebur128_add_frames_float(state->meter, samples, size_t(count)) == EBUR128_SUCCESS)
        frames += count;
}

double LoudnessMeter::Loudness() const
{
    if (!state || frames == 0 || !loudness)
        return Silence;
    double measured = Silence;
    const qint64 milliseconds = frames * 1000 / rate;
    if (milliseconds >= BlockMilliseconds) {
        if (ebur128_loudness_global(state->meter, &measured) != EBUR128_SUCCESS)
            return Silence;
    } else if (milliseconds == 0 ||
               ebur128_loudness_window(state->meter, (unsigned long)milliseconds, &measured) !=
                   EBUR128_SUCCESS) {
        return Silence;
    }
    return std::isfinite(measured) ? measured : Silence;
}

double LoudnessMeter::TruePeak() const
{
    double peak = 0;
    if (!state || ebur128_true_peak(state->meter, 0, &peak) != EBUR128_SUCCESS)
        return Silence;
    return Decibels::FromAmplitude(peak);
}

double LoudnessMeter::LastTruePeak() const
{
    double peak = 0;
    if (!state || ebur128_prev_true_peak(state->meter, 0, &peak) != EBUR128_SUCCESS)
        return Silence;
    return Decibels::FromAmplitude(peak);
}

double LoudnessMeter::SamplePeak() const
{
    double peak = 0;
    if (!state || ebur128_sample_peak(state->meter, 0, &peak) != EBUR128_SUCCESS)
        return Silence;
    return Decibels::FromAmplitude(peak);
}
