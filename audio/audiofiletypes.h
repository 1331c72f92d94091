#ifndef AUDIOFILETYPES_H
#define AUDIOFILETYPES_H

#include <QString>
#include <QStringList>

// The extensions of the audio files that can be converted: "wav", "flac",
// "ogg", "oga", "opus", "mp3", "aif", "aiff", "aifc", "au", "caf", "w64",
// "mp2", as far as the libsndfile at hand or the FFmpeg module reads them,
// and, when the FFmpeg module is there, "m4a", "aac", "wma", "ac3", "mka"
// and the videos "mp4", "mov", "mkv", "webm".
QStringList DecodableExtensions();

// The open dialog's filter for them: "Audio files (*.wav *.aif ...)".
QString AudioFilesFilter();

#endif // AUDIOFILETYPES_H
