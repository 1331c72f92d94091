#include "conversionoffer.h"

#include "audiosource.h"

#include "wav/inputfile.h"
#include "wav/wavefilereader.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

ConversionOffer OfferConversion(const QString &path, const WaveCheck &check)
{
    ConversionOffer offer;
    offer.Reason = check.Reason;
    const bool forFormat =
        check.Result == WaveStatus::NoDataChunk || check.Result == WaveStatus::UnsupportedFormat;
    if (!forFormat && check.Result != WaveStatus::DataLengthOutOfRange)
        return offer;
    AudioFormat format;
    if (!ProbeAudioFile(path, format))
        return offer;
    if (!forFormat && format.IsLayerFormat())
        return offer; // only too long or too short, not convertible into anything else

    offer.Format = format;
    offer.Reason = format.IsLayerFormat()
                       ? QStringLiteral("%1; the file is %2").arg(check.Reason, format.Describe())
                       : QStringLiteral("%1; a layer must be %2")
                             .arg(format.Describe(), LayerFormat::Describe());
    // An estimated length (MP3) is given some room: the conversion itself
    // stops once the copy gets too long.
    const double layerFrames = double(format.Frames) * LayerFormat::SampleRate / format.SampleRate /
                               (format.ExactLength ? 1.0 : 1.05);
    if (format.ExactLength && format.Frames == 0) {
        offer.Reason += QStringLiteral("; it holds no samples");
    } else if (std::llround(layerFrames) > LayerFormat::MaxFrames) {
        offer.Reason +=
            QStringLiteral("; it is too long for a layer (at most %1)")
                .arg(SecondsText(double(LayerFormat::MaxFrames) / LayerFormat::SampleRate));
    } else {
        offer.Possible = true;
    }
    return offer;
}

QString ConvertedCopyPath(const QString &source, const QString &folder)
{
    const QString base = QFileInfo(source).completeBaseName();
    const QString plain = QDir(folder).filePath(base + QStringLiteral(".wav"));
    FileIdentity sourceIdentity;
    FileIdentity plainIdentity;
    if (IdentityOf(source, sourceIdentity) && IdentityOf(plain, plainIdentity) &&
        sourceIdentity == plainIdentity)
        return QDir(folder).filePath(base + QStringLiteral(" (44100 Hz mono).wav"));
    return plain;
}
