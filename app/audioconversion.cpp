#include "audioconversion.h"

#include "core/cleanupregistry.h"
#include "core/debuglines.h"
#include "core/layercheck.h"

AudioConversionInterface *AudioConversion::plugin()
{
    const bool first = !conversion.Tried();
    AudioConversionInterface *loaded = conversion.Get<AudioConversionInterface>();
    if (first && loaded)
        loaded->UseCleanupRegistry(CleanupRegistry::Process());
    else if (first)
        qCDebug(DebugLines) << "Audio conversion is unavailable:" << conversion.ErrorString();
    return loaded;
}

AudioConversion::Offer AudioConversion::OfferFor(const QString &path, const LayerCheck &check)
{
    if (AudioConversionInterface *loaded = plugin())
        return loaded->OfferFor(path, check);
    return Offer{false, check.Reason};
}

AudioConversion::Outcome
AudioConversion::Convert(const QString &input, const QString &output,
                         const AudioConversionInterface::Progress &progress)
{
    if (AudioConversionInterface *loaded = plugin())
        return loaded->Convert(input, output, progress);
    Outcome outcome;
    outcome.Reason =
        QStringLiteral("audio conversion is unavailable: %1").arg(conversion.ErrorString());
    return outcome;
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
