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

AudioConversionInterface::Outcome
SndfileConversion::Convert(const QString &input, const QString &output, const Progress &progress)
{
    ConversionReport report;
    const bool converted = ConvertAudioFile(input, output, &report, {}, true, {}, progress);
    Outcome outcome;
    outcome.Converted = converted;
    outcome.CopyNotWritten = report.Result == ConversionResult::NotWritten;
    outcome.Reason = report.Reason;
    outcome.Warnings = report.Warnings;
    outcome.Cancelled = report.Result == ConversionResult::Cancelled;
    outcome.Clipped = report.Clipped;
    return outcome;
}

QString SndfileConversion::CopyPath(const QString &source, const QString &folder)
{
    return ConvertedCopyPath(source, folder);
}

QString SndfileConversion::FilesFilter()
{
    return AudioFilesFilter();
}
