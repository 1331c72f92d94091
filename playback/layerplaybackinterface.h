#ifndef LAYERPLAYBACKINTERFACE_H
#define LAYERPLAYBACKINTERFACE_H

#include <QtPlugin>

class QString;

// What the playback plugin gives the window: playing a layer's WAV file. The
// plugin carries the audio libraries, so that the program loads them only when
// a layer is first played.
class LayerPlaybackInterface
{
public:
    virtual ~LayerPlaybackInterface() = default;

    // Starts playing the WAV file at `path` and returns at once. A sound still
    // playing stops. The outcome (a file that cannot be decoded) is not
    // reported.
    virtual void Play(const QString &path) = 0;
    // Whether the system has a sound output to play on now.
    virtual bool HasAudioOutput() = 0;
};

#define LayerPlaybackInterface_iid "com.quelmar.QuelmarR4FileGen.LayerPlaybackInterface/1.1"
Q_DECLARE_INTERFACE(LayerPlaybackInterface, LayerPlaybackInterface_iid)

#endif // LAYERPLAYBACKINTERFACE_H
