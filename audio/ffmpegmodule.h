#ifndef FFMPEGMODULE_H
#define FFMPEGMODULE_H

#include <QString>

class FfmpegDecoding;

// The FFmpeg module (libqmsffmpeg.so), loaded on the first call, from any
// thread: from Qt's library paths (the program's folder, QT_PLUGIN_PATH),
// else from the folder the plugins are installed in, relative to the
// program. It stays loaded. nullptr, with the reason in `error`, when it
// cannot be loaded.
FfmpegDecoding *FfmpegModule(QString *error = nullptr);

// Whether the module is there to be loaded, without loading it.
bool FfmpegModuleFound();

#endif // FFMPEGMODULE_H
