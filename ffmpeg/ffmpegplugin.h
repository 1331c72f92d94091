#ifndef FFMPEGPLUGIN_H
#define FFMPEGPLUGIN_H

#include "audio/ffmpegdecoding.h"

#include <QObject>

// The FFmpeg module: FfmpegDecoder behind FfmpegDecoding. FFmpeg's own
// messages go to the debug output, errors only.
class FfmpegPlugin : public QObject, public FfmpegDecoding
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FfmpegDecoding_iid)
    Q_INTERFACES(FfmpegDecoding)

public:
    FfmpegPlugin();

    std::unique_ptr<AudioDecoder> Open(int descriptor, qint64 size,
                                       DecoderRefusal &refusal) override;
};

#endif // FFMPEGPLUGIN_H
