#include "pluginloader.h"

#include <QCoreApplication>
#include <QPluginLoader>

QObject *LoadWindowPlugin(const QString &name, QString *error)
{
    QPluginLoader loader(name);
    if (loader.fileName().isEmpty())
        loader.setFileName(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/" QMS_PLUGINS_FROM_PROGRAM "/") + name);
    QObject *plugin = loader.instance();
    if (!plugin && error)
        *error = loader.errorString();
    return plugin;
}
