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
    void UseCleanupRegistry(CleanupRegistry *registry) override;
    Offer OfferFor(const QString &path, const LayerCheck &check) override;
    Outcome Convert(const QString &input, const QString &output, const Progress &progress) override;
    QString CopyPath(const QString &source, const QString &folder) override;
    QString FilesFilter() override;
    Analysis Analyse(const QString &path, double silence, const Progress &progress) override;
    QVector<Column> Waveform(const QString &path, int columns, const Progress &progress) override;
    Outcome Prepare(const QString &input, const QString &output, const Choices &choices,
                    const Progress &progress) override;
    Expectation ExpectLoudness(const Analysis &analysis, double target) override;
    QString PreparedCopyPath(const QString &source) override;
};

#endif // SNDFILECONVERSION_H
