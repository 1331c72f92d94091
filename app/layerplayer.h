#ifndef LAYERPLAYER_H
#define LAYERPLAYER_H

#include "core/pluginholder.h"

#include <QObject>

class QWidget;

// Plays a layer's WAV file through the playback plugin (libqmsplayback), which
// is loaded on the first Play(): the program starts without the audio
// libraries and without waiting for the audio system. When the plugin cannot
// be loaded, every Play() says so in a message box on `window`, with the
// reason, and plays nothing. Without a sound output Play() says so once, in
// the first Play() that finds none, and plays nothing. Playback runs on its
// own; its outcome (a file that cannot be decoded) is not reported.
class LayerPlayer : public QObject
{
    Q_OBJECT

public:
    explicit LayerPlayer(QWidget *window);

    void Play(const QString &path);

private:
    QWidget *window;
    bool toldNoOutput = false;
    // The plugin's object, and the sound it plays, live as long as this player.
    PluginHolder playback{QStringLiteral("qmsplayback"), this};
};

#endif // LAYERPLAYER_H
