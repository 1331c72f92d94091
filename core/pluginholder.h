#ifndef PLUGINHOLDER_H
#define PLUGINHOLDER_H

#include <QObject>
#include <QString>

// The file of the plugin `name` (e.g. "qmsplayback"): found in Qt's library
// paths (the program's folder, QT_PLUGIN_PATH), else in the folder the
// plugins are installed in, relative to the program; "" when it is in
// neither. The plugin is not loaded.
QString LocatePlugin(const QString &name);

// One of the plugins (e.g. "qmsplayback"), loaded from LocatePlugin() the
// first time it is asked for. Loading is tried once. When it fails the reason
// is kept, and the feature that needs the plugin says so when it is used.
class PluginHolder
{
public:
    // The plugin's object becomes a child of `owner`, when given, and goes
    // with it.
    explicit PluginHolder(const QString &name, QObject *owner = nullptr);

    // The plugin's object as `Interface`; nullptr when the plugin could not
    // be loaded or does not provide it.
    template <class Interface> Interface *Get()
    {
        return qobject_cast<Interface *>(load(qobject_interface_iid<Interface *>()));
    }
    bool Tried() const { return tried; }
    // Why Get() gives nullptr.
    QString ErrorString() const { return error; }

private:
    QObject *load(const char *interfaceId);

    QString name;
    QObject *owner;
    bool tried = false;
    QObject *plugin = nullptr;
    QString error;
};

#endif // PLUGINHOLDER_H
