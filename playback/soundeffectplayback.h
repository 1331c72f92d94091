#ifndef SOUNDEFFECTPLAYBACK_H
#define SOUNDEFFECTPLAYBACK_H

#include "layerplaybackinterface.h"

#include <QObject>

class QSoundEffect;

// The playback plugin: plays layers through Qt Multimedia's QSoundEffect,
// made on the first Play().
class SoundEffectPlayback : public QObject, public LayerPlaybackInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LayerPlaybackInterface_iid)
    Q_INTERFACES(LayerPlaybackInterface)

public:
    void Play(const QString &path) override;
    bool HasAudioOutput() override;

private:
    QSoundEffect *effect = nullptr;
};

#endif // SOUNDEFFECTPLAYBACK_H
