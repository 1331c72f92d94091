#include "soundeffectplayback.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

void SoundEffectPlayback::Play(const QString &path)
{
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setObjectName(QStringLiteral("layerSound"));
    }
    // The same source is not loaded again; a new one stops the sound playing
    // now. Playback starts as soon as the file is loaded.
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}

bool SoundEffectPlayback::HasAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}
