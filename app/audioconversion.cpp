#include "audioconversion.h"

#include "core/cleanupregistry.h"
#include "core/layercheck.h"

#include <QDebug>

AudioConversionInterface *AudioConversion::plugin()
{
    const bool first = !conversion.Tried();
    AudioConversionInterface *loaded = conversion.Get<AudioConversionInterface>();
    if (first && loaded)
        loaded->UseCleanupRegistry(CleanupRegistry::Process());
    else if (first)
        qDebug() << "Audio conversion is unavailable:" << conversion.ErrorString();
    return loaded;
}

AudioConversion::Offer AudioConversion::OfferFor(const QString &path, const LayerCheck &check)
{
    if (AudioConversionInterface *loaded = plugin())
        return loaded->OfferFor(path, check);
    return Offer{false, check.Reason};
}

AudioConversion::Outcome AudioConversion::Convert(const QString &input, const QString &output)
{
    if (AudioConversionInterface *loaded = plugin())
        return loaded->Convert(input, output);
    return Outcome{
        false,
        false,
        QStringLiteral("audio conversion is unavailable: %1").arg(conversion.ErrorString()),
        {}};
}

QString AudioConversion::CopyPath(const QString &source, const QString &folder)
{
    AudioConversionInterface *loaded = plugin();
    return loaded ? loaded->CopyPath(source, folder) : QString();
}

QString AudioConversion::FilesFilter()
{
    AudioConversionInterface *loaded = plugin();
    return loaded ? loaded->FilesFilter() : QString();
}
