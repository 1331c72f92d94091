#ifndef LAYERPLAYER_H
#define LAYERPLAYER_H

#include <QObject>

class LayerPlaybackInterface;
class QWidget;

// Plays a layer's WAV file through the playback plugin (libqmsplayback), which
// is loaded on the first Play(): the program starts without the audio
// libraries and without waiting for the audio system. When the plugin cannot
// be loaded, Play() says so in a message box on `window` and plays nothing.
// Playback runs on its own; its outcome (no audio device, a file that cannot
// be decoded) is not reported.
class LayerPlayer : public QObject
{
    Q_OBJECT

public:
    explicit LayerPlayer(QWidget *window);

    void Play(const QString &path);

private:
    LayerPlaybackInterface *LoadPlayback();

    QWidget *window;
    LayerPlaybackInterface *playback = nullptr;
};

#endif // LAYERPLAYER_H
