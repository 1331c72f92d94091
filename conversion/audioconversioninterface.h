#ifndef AUDIOCONVERSIONINTERFACE_H
#define AUDIOCONVERSIONINTERFACE_H

#include "audio/audioconverter.h"
#include "audio/conversionoffer.h"

#include <QString>
#include <QtPlugin>

struct WaveCheck;

// What the conversion plugin gives the window: the audio conversion of
// qmsaudio (see conversionoffer.h and audioconverter.h). The plugin carries
// libsndfile, libsoxr and the codecs behind them, so that the program loads
// them only when a file first needs them, not at start-up.
class AudioConversionInterface
{
public:
    virtual ~AudioConversionInterface() = default;

    virtual ConversionOffer Offer(const QString &path, const WaveCheck &check) = 0;
    virtual bool Convert(const QString &input, const QString &output, ConversionReport *report) = 0;
    virtual QString CopyPath(const QString &source, const QString &folder) = 0;
    // The open dialog's filter of the audio files this build can read.
    virtual QString FilesFilter() = 0;
};

#define AudioConversionInterface_iid "com.quelmar.QuelmarR4FileGen.AudioConversionInterface/1.0"
Q_DECLARE_INTERFACE(AudioConversionInterface, AudioConversionInterface_iid)

#endif // AUDIOCONVERSIONINTERFACE_H
