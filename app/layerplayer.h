#ifndef LAYERPLAYER_H
#define LAYERPLAYER_H

#include <QObject>

class QSoundEffect;

// Plays a layer's WAV file through the platform's audio output. The sound
// effect behind it is made on the first Play(), so that starting the program
// does not wait for the audio system. Playback runs on its own; its outcome
// (no audio device, a file that cannot be decoded) is not reported.
class LayerPlayer : public QObject
{
    Q_OBJECT

public:
    explicit LayerPlayer(QObject *parent = nullptr);

    void Play(const QString &path);

private:
    QSoundEffect *effect = nullptr;
};

#endif // LAYERPLAYER_H
