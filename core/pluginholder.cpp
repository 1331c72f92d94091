#include "pluginholder.h"

#include <QCoreApplication>
#include <QPluginLoader>

QString LocatePlugin(const QString &name)
{
    QPluginLoader loader(name);
    if (loader.fileName().isEmpty())
        loader.setFileName(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/" QMS_PLUGINS_FROM_PROGRAM "/") + name);
    return loader.fileName();
}

PluginHolder::PluginHolder(const QString &name, QObject *owner) : name(name), owner(owner) {}

QObject *PluginHolder::load(const char *interfaceId)
{
    if (tried)
        return plugin;
    tried = true;
    const QString file = LocatePlugin(name);
    QPluginLoader loader(file.isEmpty() ? name : file);
    QObject *instance = loader.instance();
    if (!instance) {
        error = loader.errorString();
    } else if (!instance->qt_metacast(interfaceId)) {
        error = QStringLiteral("%1 does not provide %2").arg(name, QLatin1String(interfaceId));
    } else {
        plugin = instance;
        if (owner)
            plugin->setParent(owner);
    }
    return plugin;
}
