#include "audioconversion.h"

#include "pluginloader.h"

#include "conversion/audioconversioninterface.h"
#include "wav/wavefilereader.h"

#include <QDebug>

AudioConversionInterface *AudioConversion::plugin()
{
    if (!loadTried) {
        loadTried = true;
        loaded = qobject_cast<AudioConversionInterface *>(
            LoadWindowPlugin(QStringLiteral("qmsconversion"), &loadError));
        if (!loaded)
            qDebug() << "Audio conversion is unavailable:" << loadError;
    }
    return loaded;
}

ConversionOffer AudioConversion::Offer(const QString &path, const WaveCheck &check)
{
    if (AudioConversionInterface *conversion = plugin())
        return conversion->Offer(path, check);
    ConversionOffer none;
    none.Reason = check.Reason;
    return none;
}

bool AudioConversion::Convert(const QString &input, const QString &output, ConversionReport *report)
{
    if (AudioConversionInterface *conversion = plugin())
        return conversion->Convert(input, output, report);
    if (report)
        report->Reason = QStringLiteral("audio conversion is unavailable: %1").arg(loadError);
    return false;
}

QString AudioConversion::CopyPath(const QString &source, const QString &folder)
{
    AudioConversionInterface *conversion = plugin();
    return conversion ? conversion->CopyPath(source, folder) : QString();
}

QString AudioConversion::FilesFilter()
{
    AudioConversionInterface *conversion = plugin();
    return conversion ? conversion->FilesFilter() : QString();
}
