#include "ffmpegmodule.h"

#include "ffmpegdecoding.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPluginLoader>

namespace {

// Where the module is: its file, or "" when it is not found.
QString moduleFile()
{
    const QString name = QStringLiteral("qmsffmpeg");
    QPluginLoader loader(name);
    if (loader.fileName().isEmpty())
        loader.setFileName(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/" QMS_PLUGINS_FROM_PROGRAM "/") + name);
    return loader.fileName();
}

struct Module
{
    Module()
    {
        QPluginLoader loader(moduleFile());
        decoding = qobject_cast<FfmpegDecoding *>(loader.instance());
        if (!decoding) {
            error = loader.fileName().isEmpty() ? QStringLiteral("libqmsffmpeg.so is not installed")
                                                : loader.errorString();
            qDebug() << "FFmpeg's decoder is unavailable:" << error;
        }
    }

    FfmpegDecoding *decoding = nullptr;
    QString error;
};

} // namespace

FfmpegDecoding *FfmpegModule(QString *error)
{
    static const Module module;
    if (error)
        *error = module.error;
    return module.decoding;
}

bool FfmpegModuleFound()
{
    return !moduleFile().isEmpty();
}
