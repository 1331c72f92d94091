#include "sndfileconversion.h"

#include "audio/audioconverter.h"
#include "audio/audiofiletypes.h"
#include "audio/conversionoffer.h"
#include "core/cleanupregistry.h"

void SndfileConversion::UseCleanupRegistry(CleanupRegistry *registry)
{
    CleanupRegistry::Use(registry);
}

AudioConversionInterface::Offer SndfileConversion::OfferFor(const QString &path,
                                                            const LayerCheck &check)
{
    const ConversionOffer offer = OfferConversion(path, check);
    return Offer{offer.Possible, offer.Reason};
}

AudioConversionInterface::Outcome SndfileConversion::Convert(const QString &input,
                                                             const QString &output)
{
    ConversionReport report;
    const bool converted = ConvertAudioFile(input, output, &report);
    return Outcome{converted, report.Result == ConversionResult::NotWritten, report.Reason,
                   report.Warnings};
}

QString SndfileConversion::CopyPath(const QString &source, const QString &folder)
{
    return ConvertedCopyPath(source, folder);
}

QString SndfileConversion::FilesFilter()
{
    return AudioFilesFilter();
}
