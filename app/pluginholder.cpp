#include "pluginholder.h"

#include <QCoreApplication>
#include <QPluginLoader>

PluginHolder::PluginHolder(const QString &name, QObject *owner) : name(name), owner(owner) {}

QObject *PluginHolder::load(const char *interfaceId)
{
    if (tried)
        return plugin;
    tried = true;
    QPluginLoader loader(name);
    if (loader.fileName().isEmpty())
        loader.setFileName(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/" QMS_PLUGINS_FROM_PROGRAM "/") + name);
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
