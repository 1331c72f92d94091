#include "layerplayer.h"

#include "messagebox.h"

#include "playback/layerplaybackinterface.h"

#include <QWidget>

LayerPlayer::LayerPlayer(QWidget *window) : QObject(window), window(window)
{
    setObjectName(QStringLiteral("layerPlayer"));
}

void LayerPlayer::Play(const QString &path)
{
    auto *plugin = playback.Get<LayerPlaybackInterface>();
    if (!plugin) {
        ShowMessageBox(window, {StatusMessage::Critical, "ERROR", "Playback is unavailable"},
                       playback.ErrorString());
        return;
    }
    if (!plugin->HasAudioOutput()) {
        if (!toldNoOutput) {
            toldNoOutput = true;
            ShowMessageBox(window, {StatusMessage::Warning, "MESSAGE", "No audio device"},
                           tr("Nothing can be played: the system has no sound output. The "
                              "layers are not affected, and Play works again once there is "
                              "one."));
        }
        return;
    }
    plugin->Play(path);
}
