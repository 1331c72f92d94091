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
    using Analysis = AudioConversionInterface::Analysis;
    using Column = AudioConversionInterface::Column;
    using Choices = AudioConversionInterface::Choices;
    using Expectation = AudioConversionInterface::Expectation;
    using Progress = AudioConversionInterface::Progress;

    Offer OfferFor(const QString &path, const LayerCheck &check);
    // May run on another thread once the plugin is loaded (Loaded()).
    Outcome Convert(const QString &input, const QString &output,
                    const AudioConversionInterface::Progress &progress = {});
    // Loads the plugin, when not tried yet; true when it is there.
    bool Loaded() { return plugin() != nullptr; }
    // Why it is not, in plain words.
    QString Unavailable() const;
    QString CopyPath(const QString &source, const QString &folder);
    // The open dialog's filter of audio files; empty without the plugin.
    QString FilesFilter();

    // As the plugin's (AudioConversionInterface); they may run on another
    // thread once the plugin is loaded. Without it nothing is analysed and
    // nothing prepared, with the loader's reason.
    Analysis Analyse(const QString &path, double silence, const Progress &progress = {});
    QVector<Column> Waveform(const QString &path, int columns, const Progress &progress = {});
    Outcome Prepare(const QString &input, const QString &output, const Choices &choices,
                    const Progress &progress = {});
    Expectation ExpectLoudness(const Analysis &analysis, double target);
    QString PreparedCopyPath(const QString &source);

private:
    AudioConversionInterface *plugin();

    PluginHolder conversion{QStringLiteral("qmsconversion")};
};

#endif // AUDIOCONVERSION_H
