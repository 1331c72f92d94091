#ifndef FFMPEGMODULE_H
#define FFMPEGMODULE_H

#include <QString>

class FfmpegDecoding;

// The FFmpeg module (libqmsffmpeg.so), loaded on the first call, from any
// thread, where the plugins are (see LocatePlugin() in
// core/pluginholder.h). It stays loaded. nullptr, with the reason in
// `error`, when it cannot be loaded.
FfmpegDecoding *FfmpegModule(QString *error = nullptr);

// Whether the module is there to be loaded, without loading it.
bool FfmpegModuleFound();

#endif // FFMPEGMODULE_H
