#ifndef SNDFILECONVERSION_H
#define SNDFILECONVERSION_H

#include "audioconversioninterface.h"

#include <QObject>

// The conversion plugin: qmsaudio behind AudioConversionInterface.
class SndfileConversion : public QObject, public AudioConversionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID AudioConversionInterface_iid)
    Q_INTERFACES(AudioConversionInterface)

public:
    ConversionOffer Offer(const QString &path, const WaveCheck &check) override;
    bool Convert(const QString &input, const QString &output, ConversionReport *report) override;
    QString CopyPath(const QString &source, const QString &folder) override;
    QString FilesFilter() override;
};

#endif // SNDFILECONVERSION_H
