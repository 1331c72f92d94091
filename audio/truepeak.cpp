#include "truepeak.h"

#include "decibels.h"
#include "loudnessmeter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

constexpr qint64 BlockFrames = 4096;
// libebur128's oversampler (a 49-tap FIR, 4 or 2 phases) works on the last
// 13 samples: after this many, it holds what the whole sound would have
// left in it.
constexpr qint64 ContextFrames = 64;

struct Block
{
    qint64 From;
    // Over the block and the samples before it that its values are made of.
    float Peak;
};

bool mayReach(const Block &block, double level)
{
    return Decibels::FromAmplitude(block.Peak) + MostOverSamplePeak >= level;
}

// Measures every `stride`th of `blocks` from `first`, loudest first, as long
// as they may reach `level` or the highest found so far; returns that.
double measureShare(const float *samples, qint64 count, const std::vector<Block> &blocks,
                    size_t first, size_t stride, double level, LoudnessMeter &meter)
{
    double found = -std::numeric_limits<double>::infinity();
    std::vector<float> context(static_cast<size_t>(ContextFrames));
    for (size_t i = first; i < blocks.size(); i += stride) {
        const Block &block = blocks[i];
        if (!mayReach(block, std::max(level, found)))
            break; // nor can any quieter block
        // Silence before the sound's start, as the whole sound's meter saw.
        const qint64 from = std::max<qint64>(0, block.From - ContextFrames);
        std::fill(context.begin(), context.end(), 0.0f);
        std::copy(samples + from, samples + block.From, context.end() - (block.From - from));
        meter.Add(context.data(), ContextFrames);
        meter.Add(samples + block.From, std::min(BlockFrames, count - block.From));
        found = std::max(found, meter.LastTruePeak());
    }
    return found;
}

} // namespace

double TruePeakReaching(const float *samples, qint64 count, int sampleRate, double level)
{
    std::vector<Block> blocks;
    for (qint64 from = 0; from < count; from += BlockFrames) {
        float peak = 0;
        for (qint64 i = std::max<qint64>(0, from - ContextFrames);
             i < std::min(count, from + BlockFrames); ++i)
            peak = std::max(peak, std::fabs(samples[i]));
        blocks.push_back({from, peak});
    }
    std::sort(blocks.begin(), blocks.end(),
              [](const Block &a, const Block &b) { return a.Peak > b.Peak; });

    // Every other block on a second thread, when there is more than one to
    // measure. The meters are made here: libebur128 sets up tables shared by
    // all its meters when one is made.
    LoudnessMeter meter(sampleRate, LoudnessMeter::Measures::TruePeakOnly);
    if (blocks.size() < 2 || !mayReach(blocks[1], level))
        return measureShare(samples, count, blocks, 0, 1, level, meter);
    LoudnessMeter second(sampleRate, LoudnessMeter::Measures::TruePeakOnly);
    double foundThere = 0;
    std::thread there(
        [&] { foundThere = measureShare(samples, count, blocks, 1, 2, level, second); });
    const double found = measureShare(samples, count, blocks, 0, 2, level, meter);
    there.join();
    return std::max(found, foundThere);
}
