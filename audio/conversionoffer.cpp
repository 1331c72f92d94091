#include "conversionoffer.h"

#include "audioprobe.h"

#include "core/layercheck.h"
#include "core/layertable.h"
#include "wav/inputfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

ConversionOffer OfferConversion(const QString &path, const LayerCheck &check)
{
    ConversionOffer offer;
    offer.Reason = check.Reason;
    const bool refused = !check.Accepted();
    const bool forFormat = refused && (check.Status == LayerStatus::NoDataChunk ||
                                       check.Status == LayerStatus::UnsupportedFormat);
    const bool forLength = refused && check.Status == LayerStatus::DataLengthOutOfRange;
    if (!forFormat && !forLength)
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
    if (format.ExactLength && format.Frames == 0) {
        offer.Reason += QStringLiteral("; it holds no samples");
    } else if (LayerFormat::TooLong(double(format.Frames), format.SampleRate)) {
        offer.Reason += QStringLiteral("; it is too long for a layer (at most %1)")
                            .arg(SecondsText(LayerFormat::MaxSeconds));
    } else {
        offer.Possible = true;
    }
    return offer;
}

namespace {

// "<base name of source><suffix>", never longer than a layer's name.
QString CopyName(const QString &source, const QString &suffix)
{
    const QString base = QFileInfo(source).completeBaseName();
    if (base.size() + suffix.size() <= Limits::NameLength)
        return base + suffix;
    const QString mark =
        QLatin1Char('-') +
        QString::fromLatin1(
            QCryptographicHash::hash(base.toUtf8(), QCryptographicHash::Sha1).toHex().left(6));
    return CutName(base, Limits::NameLength - suffix.size() - int(mark.size())) + mark + suffix;
}

} // namespace

QString ConvertedCopyName(const QString &source, bool besideSource)
{
    return CopyName(source,
                    besideSource ? QStringLiteral(" (44100 Hz mono).wav") : QStringLiteral(".wav"));
}

QString PreparedCopyPath(const QString &source)
{
    return QFileInfo(source).absoluteDir().filePath(
        CopyName(source, QStringLiteral(" (prepared).wav")));
}

QString ConvertedCopyPath(const QString &source, const QString &folder)
{
    const QString plain = QDir(folder).filePath(ConvertedCopyName(source));
    FileIdentity sourceIdentity;
    FileIdentity plainIdentity;
    if (IdentityOf(source, sourceIdentity) && IdentityOf(plain, plainIdentity) &&
        sourceIdentity == plainIdentity)
        return QDir(folder).filePath(ConvertedCopyName(source, true));
    return plain;
}
