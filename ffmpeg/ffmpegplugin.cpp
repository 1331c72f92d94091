#include "ffmpegplugin.h"

#include "core/debuglines.h"
#include "ffmpegdecoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>

namespace {

void logToDebug(void *context, int level, const char *format, va_list arguments)
{
    if (level > AV_LOG_ERROR)
        return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &prefix);
    qCDebug(DebugLines).noquote() << "FFmpeg:" << QString::fromUtf8(line).trimmed();
}

} // namespace

FfmpegPlugin::FfmpegPlugin()
{
    av_log_set_callback(logToDebug);
}

std::unique_ptr<AudioDecoder> FfmpegPlugin::Open(int descriptor, qint64 size,
                                                 DecoderRefusal &refusal)
{
    return FfmpegDecoder::Open(descriptor, size, refusal);
}
