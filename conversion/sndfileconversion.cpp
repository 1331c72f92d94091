#include "sndfileconversion.h"

#include "audio/audiosource.h"

ConversionOffer SndfileConversion::Offer(const QString &path, const WaveCheck &check)
{
    return OfferConversion(path, check);
}

bool SndfileConversion::Convert(const QString &input, const QString &output,
                                ConversionReport *report)
{
    return ConvertAudioFile(input, output, report);
}

QString SndfileConversion::CopyPath(const QString &source, const QString &folder)
{
    return ConvertedCopyPath(source, folder);
}

QString SndfileConversion::FilesFilter()
{
    return AudioFilesFilter();
}
