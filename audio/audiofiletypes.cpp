#include "audiofiletypes.h"

#include "ffmpegmodule.h"

#include <QList>

#include <sndfile.h>

namespace {

// The major formats and the encodings that libsndfile reads.
void sndfileFormats(QList<int> &majors, QList<int> &subtypes)
{
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info = {};
        info.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0)
            majors << info.format;
    }
    sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info = {};
        info.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &info, sizeof info) == 0)
            subtypes << info.format;
    }
}

} // namespace

QStringList DecodableExtensions()
{
    QList<int> majors;
    QList<int> subtypes;
    sndfileFormats(majors, subtypes);
    const bool ffmpeg = FfmpegModuleFound();
    QStringList extensions{"wav"};
    if (ffmpeg || majors.contains(SF_FORMAT_FLAC))
        extensions << "flac";
    if (majors.contains(SF_FORMAT_OGG))
        extensions << "ogg"
                   << "oga";
    if (majors.contains(SF_FORMAT_OGG) && subtypes.contains(SF_FORMAT_OPUS))
        extensions << "opus";
    if (ffmpeg || majors.contains(SF_FORMAT_MPEG))
        extensions << "mp3";
    extensions << "aif"
               << "aiff"
               << "aifc"
               << "au"
               << "caf"
               << "w64";
    if (ffmpeg || majors.contains(SF_FORMAT_MPEG))
        extensions << "mp2";
    if (ffmpeg) {
        extensions << "m4a"
                   << "aac"
                   << "wma"
                   << "ac3"
                   << "mka"
                   << "mp4"
                   << "mov"
                   << "mkv"
                   << "webm";
    }
    return extensions;
}

QString AudioFilesFilter()
{
    QStringList patterns;
    for (const QString &extension : DecodableExtensions())
        patterns << QStringLiteral("*.") + extension;
    return QStringLiteral("Audio files (%1)").arg(patterns.join(QLatin1Char(' ')));
}
