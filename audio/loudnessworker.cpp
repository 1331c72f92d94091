#include "loudnessworker.h"

#include "decibels.h"

#include <algorithm>
#include <cmath>

LoudnessWorker::LoudnessWorker(int sampleRate)
    : meter(sampleRate, LoudnessMeter::Measures::LoudnessOnly), thread([this] { run(); })
{}

LoudnessWorker::~LoudnessWorker()
{
    stop(false);
}

void LoudnessWorker::Add(const float *samples, qint64 count)
{
    if (count <= 0)
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        spans.push_back({samples, count});
    }
    added.notify_one();
}

double LoudnessWorker::SamplePeak() const
{
    return Decibels::FromAmplitude(peak);
}

void LoudnessWorker::Finish()
{
    stop(true);
}

void LoudnessWorker::stop(bool measureTheRest)
{
    if (!thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!measureTheRest)
            spans.clear();
        finishing = true;
    }
    added.notify_one();
    thread.join();
}

void LoudnessWorker::run()
{
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex);
        added.wait(lock, [this] { return !spans.empty() || finishing; });
        if (spans.empty())
            return;
        const Span span = spans.front();
        spans.pop_front();
        lock.unlock();
        meter.Add(span.Samples, span.Count);
        for (qint64 i = 0; i < span.Count; ++i)
            peak = std::max(peak, std::fabs(span.Samples[i]));
    }
}
