#ifndef SOUNDEDGES_H
#define SOUNDEDGES_H

#include <QtGlobal>

// Where the sound in a stream of samples begins and ends: the first and the
// last sample whose magnitude reaches a level. What lies before the first
// and after the last is silence at that level.
class SoundEdges
{
public:
    // What counts as silence at a sound's edges unless asked otherwise, in
    // dBFS: the trim's level, and the analysis's.
    static constexpr double DefaultLevel = -60;

    // `level` in dBFS; -infinity counts every sample as sound.
    explicit SoundEdges(double level);

    void Add(const float *samples, qint64 count);

    // Positions in the stream; -1 while nothing has reached the level.
    qint64 First() const { return first; }
    qint64 Last() const { return last; }
    qint64 Frames() const { return frames; }
    bool Silent() const { return first < 0; }

private:
    float threshold;
    bool everything;
    qint64 first = -1;
    qint64 last = -1;
    qint64 frames = 0;
};

#endif // SOUNDEDGES_H
