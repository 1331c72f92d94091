#ifndef AUDIOCONVERSION_H
#define AUDIOCONVERSION_H

#include "core/pluginholder.h"

#include "conversion/audioconversioninterface.h"

#include <QString>

// The window's way to the audio conversion, in the conversion plugin
// (libqmsconversion), which is loaded when a file first needs it. Without the
// plugin nothing is offered: refusals keep the WAV check's reason.
class AudioConversion
{
public:
    using Offer = AudioConversionInterface::Offer;
    using Outcome = AudioConversionInterface::Outcome;

    Offer OfferFor(const QString &path, const LayerCheck &check);
    // May run on another thread once the plugin is loaded (Loaded()).
    Outcome Convert(const QString &input, const QString &output,
                    const AudioConversionInterface::Progress &progress = {});
    // Loads the plugin, when not tried yet; true when it is there.
    bool Loaded() { return plugin() != nullptr; }
    QString CopyPath(const QString &source, const QString &folder);
    // The open dialog's filter of audio files; empty without the plugin.
    QString FilesFilter();

private:
    AudioConversionInterface *plugin();

    PluginHolder conversion{QStringLiteral("qmsconversion")};
};

#endif // AUDIOCONVERSION_H
