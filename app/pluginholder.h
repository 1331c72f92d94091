#ifndef PLUGINHOLDER_H
#define PLUGINHOLDER_H

#include <QObject>
#include <QString>

// One of the window's plugins (e.g. "qmsplayback"), loaded the first time it
// is asked for: from Qt's library paths (the program's folder,
// QT_PLUGIN_PATH), then from the folder the plugins are installed in,
// relative to the program. Loading is tried once. When it fails the reason
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
