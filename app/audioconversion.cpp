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
    outcome.Reason = Unavailable();
    return outcome;
}

QString AudioConversion::Unavailable() const
{
    return QStringLiteral("audio conversion is unavailable: %1").arg(conversion.ErrorString());
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

AudioConversion::Analysis AudioConversion::Analyse(const QString &path, double silence,
                                                   const Progress &progress)
{
    if (AudioConversionInterface *loaded = plugin())
        return loaded->Analyse(path, silence, progress);
    Analysis analysis;
    analysis.Reason = Unavailable();
    return analysis;
}

QVector<AudioConversion::Column> AudioConversion::Waveform(const QString &path, int columns,
                                                           const Progress &progress)
{
    AudioConversionInterface *loaded = plugin();
    return loaded ? loaded->Waveform(path, columns, progress) : QVector<Column>();
}

AudioConversion::Outcome AudioConversion::Prepare(const QString &input, const QString &output,
                                                  const Choices &choices, const Progress &progress)
{
    if (AudioConversionInterface *loaded = plugin())
        return loaded->Prepare(input, output, choices, progress);
    Outcome outcome;
    outcome.Reason = Unavailable();
    return outcome;
}

AudioConversion::Expectation AudioConversion::ExpectLoudness(const Analysis &analysis,
                                                             double target)
{
    AudioConversionInterface *loaded = plugin();
    return loaded ? loaded->ExpectLoudness(analysis, target) : Expectation();
}

QString AudioConversion::PreparedCopyPath(const QString &source)
{
    AudioConversionInterface *loaded = plugin();
    return loaded ? loaded->PreparedCopyPath(source) : QString();
}
