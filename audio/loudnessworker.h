#ifndef LOUDNESSWORKER_H
#define LOUDNESSWORKER_H

#include "loudnessmeter.h"

#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Measures the loudness (with libebur128) and the sample peak of a sound on
// a thread of its own while the sound is still being made: spans of samples
// are handed over as they become final and measured in the order given. A
// span must stay as it is until Finish() returns.
class LoudnessWorker
{
public:
    explicit LoudnessWorker(int sampleRate);
    // Stops at once, leaving what is not measured yet.
    ~LoudnessWorker();
    LoudnessWorker(const LoudnessWorker &) = delete;
    LoudnessWorker &operator=(const LoudnessWorker &) = delete;

    void Add(const float *samples, qint64 count);
    // Waits until every span given is measured; call once.
    void Finish();
    // After Finish(): as LoudnessMeter gives them.
    double Loudness() const { return meter.Loudness(); }
    double SamplePeak() const;

private:
    struct Span
    {
        const float *Samples;
        qint64 Count;
    };

    void run();
    void stop(bool measureTheRest);

    LoudnessMeter meter;
    float peak = 0;
    std::mutex mutex;
    std::condition_variable added;
    std::deque<Span> spans;
    bool finishing = false;
    std::thread thread;
};

#endif // LOUDNESSWORKER_H
