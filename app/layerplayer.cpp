#include "layerplayer.h"

#include "playback/layerplaybackinterface.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPluginLoader>
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
    // First the library paths (the program's folder, QT_PLUGIN_PATH, Qt's
    // plugin folder), then the folder the plugin is installed in.
    QPluginLoader loader(PluginName);
    if (loader.fileName().isEmpty())
        loader.setFileName(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/" QMS_PLAYBACK_FROM_PROGRAM "/") + PluginName);
    QObject *plugin = loader.instance();
    auto *playback = qobject_cast<LayerPlaybackInterface *>(plugin);
    if (!playback) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("ERROR"),
                        QStringLiteral("Playback is unavailable"), QMessageBox::Ok, window);
        box.setInformativeText(plugin ? loader.fileName() + QStringLiteral(" cannot play layers.")
                                      : loader.errorString());
        box.exec();
        return nullptr;
    }
    // The plugin's object, and the sound it plays, live as long as this player.
    plugin->setParent(this);
    return playback;
}
