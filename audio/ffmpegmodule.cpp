#include "ffmpegmodule.h"

#include "ffmpegdecoding.h"

#include "core/debuglines.h"
#include "core/pluginholder.h"

namespace {

const QString ModuleName = QStringLiteral("qmsffmpeg");

struct Module
{
    Module() : holder(ModuleName), decoding(holder.Get<FfmpegDecoding>())
    {
        if (!decoding)
            qCDebug(DebugLines) << "FFmpeg's decoder is unavailable:" << holder.ErrorString();
    }

    PluginHolder holder;
    FfmpegDecoding *decoding;
};

} // namespace

FfmpegDecoding *FfmpegModule(QString *error)
{
    static Module module; // made once, by the first thread to get here
    if (error)
        *error = module.holder.ErrorString();
    return module.decoding;
}

bool FfmpegModuleFound()
{
    return !LocatePlugin(ModuleName).isEmpty();
}
