#include "sndfileconversion.h"

#include "audio/audioconverter.h"
#include "audio/audiofiletypes.h"
#include "audio/audiosource.h"
#include "audio/conversionoffer.h"
#include "audio/monodecoding.h"
#include "audio/preparation.h"
#include "audio/signalanalysis.h"
#include "audio/waveform.h"
#include "core/cleanupregistry.h"

#include <cmath>
#include <vector>

namespace {

// The whole of the audio file at `path` as one channel at its own rate, as
// a conversion decodes it; false, with the reason, when it cannot be, or
// when `progress` stopped it (`reason` then empty).
bool DecodeMono(const QString &path, std::vector<float> &samples, int &rate, QString &reason,
                const AudioConversionInterface::Progress &progress)
{
    AudioSource source;
    if (!source.Open(path)) {
        reason = source.ErrorString();
        return false;
    }
    rate = source.Format().SampleRate;
    const qint64 expected = source.Format().Frames;
    if (expected > 0)
        samples.reserve(size_t(expected));
    MonoDecoding mono(source.Decoder());
    while (const qint64 got = mono.Next()) {
        samples.insert(samples.end(), mono.Samples(), mono.Samples() + got);
        if (progress && !progress(expected > 0 ? qMin(1.0, double(samples.size()) / expected) : 0))
            return false;
    }
    if (samples.empty() && source.Decoder().Damaged()) {
        reason = UndecodableReason();
        return false;
    }
    return true;
}

AudioConversionInterface::Outcome OutcomeOf(bool converted, const ConversionReport &report)
{
    AudioConversionInterface::Outcome outcome;
    outcome.Converted = converted;
    outcome.CopyNotWritten = report.Result == ConversionResult::NotWritten;
    outcome.Reason = report.Reason;
    outcome.Warnings = report.Warnings;
    outcome.Cancelled = report.Result == ConversionResult::Cancelled;
    outcome.Clipped = report.Clipped;
    outcome.Prepared = report.Prepared.Describe();
    return outcome;
}

} // namespace

void SndfileConversion::UseCleanupRegistry(CleanupRegistry *registry)
{
    CleanupRegistry::Use(registry);
}

AudioConversionInterface::Offer SndfileConversion::OfferFor(const QString &path,
                                                            const LayerCheck &check)
{
    const ConversionOffer offer = OfferConversion(path, check);
    return Offer{offer.Possible, offer.Reason};
}

AudioConversionInterface::Outcome
SndfileConversion::Convert(const QString &input, const QString &output, const Progress &progress)
{
    ConversionReport report;
    const bool converted = ConvertAudioFile(input, output, &report, {}, true, {}, progress);
    return OutcomeOf(converted, report);
}

QString SndfileConversion::CopyPath(const QString &source, const QString &folder)
{
    return ConvertedCopyPath(source, folder);
}

QString SndfileConversion::FilesFilter()
{
    return AudioFilesFilter();
}

AudioConversionInterface::Analysis SndfileConversion::Analyse(const QString &path, double silence,
                                                              const Progress &progress)
{
    Analysis analysis;
    std::vector<float> samples;
    int rate = 0;
    if (!DecodeMono(path, samples, rate, analysis.Reason, progress))
        return analysis;
    const qint64 count = qint64(samples.size());
    const SignalAnalysis signal = AnalyseSamples(samples.data(), count, rate, silence);
    analysis.Analysed = true;
    analysis.Seconds = signal.Seconds(signal.Frames);
    analysis.SamplePeak = signal.SamplePeak;
    analysis.TruePeak = signal.TruePeak;
    analysis.Loudness = signal.Loudness;
    analysis.SilentStart = signal.Seconds(signal.LeadingSilence);
    analysis.SilentEnd = signal.Seconds(signal.TrailingSilence);
    analysis.Clipped = signal.Clipped;
    analysis.TrimStart = analysis.SilentStart;
    analysis.TrimEnd = analysis.SilentEnd;
    if (rate == LayerFormat::SampleRate) {
        // What the preparation's own trim takes, its margin kept.
        Preparation trim;
        trim.Trim = silence;
        const PreparationReport report = PrepareSamples(samples, trim);
        analysis.TrimStart = report.Silent ? analysis.Seconds : report.Seconds(report.TrimmedStart);
        analysis.TrimEnd = report.Silent ? 0 : report.Seconds(report.TrimmedEnd);
    }
    return analysis;
}

QVector<AudioConversionInterface::Column>
SndfileConversion::Waveform(const QString &path, int columns, const Progress &progress)
{
    std::vector<float> samples;
    int rate = 0;
    QString reason;
    QVector<Column> waveform;
    if (!DecodeMono(path, samples, rate, reason, progress))
        return waveform;
    for (const WaveformColumn &column :
         SummariseWaveform(samples.data(), qint64(samples.size()), columns))
        waveform.append({column.Min, column.Max});
    return waveform;
}

AudioConversionInterface::Outcome SndfileConversion::Prepare(const QString &input,
                                                             const QString &output,
                                                             const Choices &choices,
                                                             const Progress &progress)
{
    Preparation preparation;
    if (choices.Trim)
        preparation.Trim = choices.TrimLevel;
    if (choices.SetLevel == Choices::Level::Loudness)
        preparation.Loudness = choices.Loudness;
    else if (choices.SetLevel == Choices::Level::Peak)
        preparation.Peak = choices.Peak;
    preparation.FadeIn = choices.FadeIn;
    preparation.FadeOut = choices.FadeOut;
    preparation.Fit = choices.Fit;
    if (choices.Fit && choices.FitBytes > 0)
        preparation.FitFrames = Preparation::FramesFittingSpace(choices.FitBytes);
    ConversionReport report;
    const bool converted =
        ConvertAudioFile(input, output, &report, {}, true, preparation, progress);
    return OutcomeOf(converted, report);
}

AudioConversionInterface::Expectation SndfileConversion::ExpectLoudness(const Analysis &analysis,
                                                                        double target)
{
    const LoudnessGain gain = ExpectLoudnessGain(analysis.Loudness, analysis.TruePeak, target);
    return Expectation{gain.Gain, gain.HeldBack, analysis.Loudness + gain.Gain};
}

QString SndfileConversion::PreparedCopyPath(const QString &source)
{
    return ::PreparedCopyPath(source);
}
