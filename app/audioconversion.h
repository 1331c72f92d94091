#ifndef AUDIOCONVERSION_H
#define AUDIOCONVERSION_H

#include "audio/audioconverter.h"
#include "audio/conversionoffer.h"

#include <QString>

class AudioConversionInterface;
struct WaveCheck;

// The window's way to the audio conversion, in the conversion plugin
// (libqmsconversion), which is loaded when a file first needs it. Without the
// plugin nothing is offered: refusals keep the WAV check's reason.
class AudioConversion
{
public:
    ConversionOffer Offer(const QString &path, const WaveCheck &check);
    bool Convert(const QString &input, const QString &output, ConversionReport *report);
    QString CopyPath(const QString &source, const QString &folder);
    // The open dialog's filter of audio files; empty without the plugin.
    QString FilesFilter();

private:
    AudioConversionInterface *plugin();

    bool loadTried = false;
    AudioConversionInterface *loaded = nullptr;
    QString loadError;
};

#endif // AUDIOCONVERSION_H
