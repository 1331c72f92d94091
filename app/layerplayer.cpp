#include "layerplayer.h"

#include "playback/layerplaybackinterface.h"

#include <QMessageBox>
#include <QWidget>

LayerPlayer::LayerPlayer(QWidget *window) : QObject(window), window(window)
{
    setObjectName(QStringLiteral("layerPlayer"));
}

void LayerPlayer::Play(const QString &path)
{
    if (auto *plugin = playback.Get<LayerPlaybackInterface>()) {
        plugin->Play(path);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("ERROR"),
                    QStringLiteral("Playback is unavailable"), QMessageBox::Ok, window);
    box.setInformativeText(playback.ErrorString());
    box.exec();
}
