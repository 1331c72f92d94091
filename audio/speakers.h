#ifndef SPEAKERS_H
#define SPEAKERS_H

#include <vector>

// Where a source's channel is meant to be heard, as far as folding it into
// one channel cares.
enum class Speaker {
    Front,        // left, right, and those between them and the centre
    Centre,       // front centre
    Surround,     // side, back and height channels
    LowFrequency, // LFE
    Unknown,      // not said, or not a speaker (ambisonics, a stereo downmix)
};

// The speakers of a source's channels, in the channels' order; empty when
// the source does not say.
using SpeakerLayout = std::vector<Speaker>;

#endif // SPEAKERS_H
