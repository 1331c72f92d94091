#include "layerplayer.h"

#include "pluginloader.h"

#include "playback/layerplaybackinterface.h"

#include <QMessageBox>
#include <QWidget>

namespace {

const QString PluginName = QStringLiteral("qmsplayback");

} // namespace

LayerPlayer::LayerPlayer(QWidget *window) : QObject(window), window(window)
{
    setObjectName(QStringLiteral("layerPlayer"));
}

void LayerPlayer::Play(const QString &path)
{
    if (!playback)
        playback = LoadPlayback();
    if (playback)
        playback->Play(path);
}

LayerPlaybackInterface *LayerPlayer::LoadPlayback()
{
    QString error;
    QObject *plugin = LoadWindowPlugin(PluginName, &error);
    auto *playback = qobject_cast<LayerPlaybackInterface *>(plugin);
    if (!playback) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("ERROR"),
                        QStringLiteral("Playback is unavailable"), QMessageBox::Ok, window);
        box.setInformativeText(plugin ? PluginName + QStringLiteral(" cannot play layers.")
                                      : error);
        box.exec();
        return nullptr;
    }
    // The plugin's object, and the sound it plays, live as long as this player.
    plugin->setParent(this);
    return playback;
}
