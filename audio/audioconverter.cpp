#include "audioconverter.h"

#include "audiosource.h"
#include "layersamples.h"
#include "monodecoding.h"

#include "core/debuglines.h"
#include "soundfile/outputfile.h"
#include "wav/waveheader.h"

#include <QtEndian>

#include <vector>

namespace {

QString seconds(qint64 frames, int rate)
{
    return SecondsText(double(frames) / rate);
}

class Conversion
{
public:
    Conversion(ConversionReport &report, const Preparation &preparation,
               const ConversionProgress &progress)
        : report(report), preparation(preparation),
          mayShorten(preparation.Trim.has_value() || preparation.Fit), progress(progress)
    {}

    bool Run(const QString &input, const QString &output, const QList<FileIdentity> &untouchable,
             OutputFile::Existing existing);

private:
    bool fail(ConversionResult result, const QString &reason)
    {
        report.Result = result;
        report.Reason = reason;
        qCDebug(DebugLines) << "Not converted:" << reason;
        return false;
    }
    bool tooLong(qint64 frames, bool exact)
    {
        const QString most = SecondsText(LayerFormat::MaxSeconds);
        return fail(ConversionResult::TooLong,
                    exact ? QStringLiteral("it lasts %1; a layer holds at most %2")
                                .arg(seconds(frames, format().SampleRate), most)
                          : QStringLiteral("it lasts more than the %1 a layer holds").arg(most));
    }
    bool tooLongTrimmed()
    {
        return fail(ConversionResult::TooLong,
                    QStringLiteral("even trimmed it lasts more than %1, the most a layer holds")
                        .arg(SecondsText(LayerFormat::MaxSeconds)));
    }
    // Tells the caller how far the decoding is; false when it says to stop.
    bool goOn()
    {
        if (!progress)
            return true;
        const double whole = format().ExactLength && format().Frames > 0
                                 ? double(format().Frames)
                                 : LayerFormat::MaxSeconds * format().SampleRate;
        if (progress(qMin(double(frames) / whole, 1.0)))
            return true;
        return fail(ConversionResult::Cancelled, QStringLiteral("the conversion was cancelled"));
    }
    const AudioFormat &format() const { return source.Format(); }
    AudioDecoder &decoder() { return source.Decoder(); }
    bool decoded(qint64 frames);
    bool copy();
    bool convert();
    bool write(OutputFile &out);

    ConversionReport &report;
    const Preparation &preparation;
    // Trimmed or cut to fit, the copy may be shorter than the source: its
    // length is judged on the prepared sound.
    const bool mayShorten;
    bool cut = false; // decoding stopped where the copy is cut to fit
    const ConversionProgress &progress;
    AudioSource source;
    qint64 frames = 0;     // decoded, of the source
    qint64 notNumbers = 0; // samples replaced
    std::vector<qint16> samples;
    qint64 length = -1; // of the copy, once known
};

bool Conversion::Run(const QString &input, const QString &output,
                     const QList<FileIdentity> &untouchable, OutputFile::Existing existing)
{
    qCDebug(DebugLines) << input << "Converting to " << output;
    if (const QString problem = preparation.Problem(); !problem.isEmpty())
        return fail(ConversionResult::Unprepared, problem);
    if (!source.Open(input))
        return fail(ConversionResult::Unreadable, source.ErrorString());
    report.Source = format();
    qCDebug(DebugLines) << "Source:" << format().Describe();
    if (format().ExactLength && format().Frames == 0)
        return fail(ConversionResult::Empty, QStringLiteral("it holds no samples"));
    if (!mayShorten && format().ExactLength &&
        LayerFormat::TooLong(double(format().Frames), format().SampleRate))
        return tooLong(format().Frames, true);

    OutputFile out(output, existing);
    if (!out.Open())
        return fail(ConversionResult::NotWritten, out.ErrorString());
    if (out.ReplacesExisting() && out.ExistingIdentity() == source.Identity())
        return fail(ConversionResult::NotWritten, QStringLiteral("it is the file being converted"));
    if (out.ReplacesExisting() && untouchable.contains(out.ExistingIdentity()))
        return fail(ConversionResult::NotWritten,
                    QStringLiteral("it is one of the inputs, or a copy already made"));

    report.Copied = format().IsLayerFormat() && !preparation.Any();
    if (!(report.Copied ? copy() : convert()))
        return false;
    if (!cut) {
        report.Source.Frames = frames;
        report.Source.ExactLength = true;
    } else if (!format().ExactLength) {
        report.Source.Frames = frames;
    }
    if (frames == 0) {
        return decoder().Damaged()
                   ? fail(ConversionResult::Unreadable, UndecodableReason())
                   : fail(ConversionResult::Empty, QStringLiteral("it holds no samples"));
    }
    report.Warnings = DecodingWarnings(decoder(), frames, notNumbers, !cut);
    for (const QString &warning : std::as_const(report.Warnings))
        qCDebug(DebugLines) << "Warning:" << warning;
    return write(out);
}

// Counts `count` more frames decoded; false when that is more than a layer
// holds, whatever the source's rate, so that no more is decoded, or when the
// caller's progress function says to stop.
bool Conversion::decoded(qint64 count)
{
    frames += count;
    if (!mayShorten && LayerFormat::TooLong(double(frames), format().SampleRate))
        return tooLong(qMax(frames, format().Frames), format().ExactLength);
    return goOn();
}

bool Conversion::copy()
{
    const qint64 blockFrames = DecodingBlockFrames(1);
    samples.reserve(size_t(qMin(format().Frames, LayerFormat::MaxFrames)));
    for (;;) {
        const size_t start = samples.size();
        samples.resize(start + size_t(blockFrames));
        const qint64 got =
            qMax<qint64>(0, decoder().ReadPcm16(samples.data() + start, blockFrames));
        samples.resize(start + size_t(got));
        if (!decoded(got))
            return false;
        if (got < blockFrames)
            return true;
    }
}

// The stages, block by block: decode (the source's rate and channels, float),
// replace what is not a number and fold the channels into one
// (MonoDecoding); then the mono signal at the source's rate goes to
// resampling, preparing and quantizing (LayerSamples). With a fit, decoding
// stops where the prepared sound is cut.
bool Conversion::convert()
{
    MonoDecoding mono(decoder());
    LayerSamples layer(format().SampleRate, format().HighResolution, preparation);
    if (!layer.Start()) {
        return fail(ConversionResult::Unreadable,
                    QStringLiteral("its sample rate of %1 Hz cannot be converted")
                        .arg(format().SampleRate));
    }
    layer.Samples().reserve(size_t(
        qBound<qint64>(0, LayerFormat::FramesAt(double(format().Frames), format().SampleRate),
                       LayerFormat::MaxFrames)));
    for (;;) {
        const qint64 got = mono.Next();
        if (got <= 0)
            break;
        if (!decoded(got))
            return false;
        if (!layer.Add(mono.Samples(), got))
            return fail(ConversionResult::Unreadable, QStringLiteral("resampling failed"));
        if (layer.Full()) {
            if (!preparation.Fit)
                return tooLongTrimmed();
            cut = true;
            break;
        }
    }
    notNumbers = mono.NotNumbers();
    if (!layer.Finish())
        return fail(ConversionResult::Unreadable, QStringLiteral("resampling failed"));
    report.Prepared = layer.Prepared();
    if (report.Prepared.Silent) {
        return fail(ConversionResult::Empty,
                    QStringLiteral("it holds nothing louder than %1 dBFS").arg(*preparation.Trim));
    }
    if (layer.Preparing()) {
        qCDebug(DebugLines) << "Prepared:" << report.Prepared.Describe();
        length = report.Prepared.Frames;
    }
    report.Clipped = layer.Clipped();
    samples = std::move(layer.Samples());
    return true;
}

bool Conversion::write(OutputFile &out)
{
    // Exactly as many samples as the source's duration makes at 44100 Hz,
    // or as preparing it left.
    if (length < 0)
        length =
            report.Copied ? frames : LayerFormat::FramesAt(double(frames), format().SampleRate);
    samples.resize(size_t(qMax(length, LayerFormat::MinFrames)), 0);
    report.Frames = qint64(samples.size());
    report.DataLength = quint32(samples.size()) * LayerFormat::BytesPerSample;
    report.SlotSize = WaveHeader::SlotSize(report.DataLength);
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        qToLittleEndian<qint16>(samples.data(), qsizetype(samples.size()), samples.data());
    if (!out.Write(WaveHeader::Canonical(report.DataLength)) ||
        !out.Write(reinterpret_cast<const char *>(samples.data()), report.DataLength) ||
        !out.Commit())
        return fail(ConversionResult::NotWritten, out.ErrorString());
    report.Result = ConversionResult::Converted;
    qCDebug(DebugLines) << "Converted:" << report.Frames << "samples," << report.Clipped
                        << "clipped";
    return true;
}

} // namespace

bool ConvertAudioFile(const QString &input, const QString &output, ConversionReport *report,
                      const QList<FileIdentity> &untouchable, bool replaceExisting,
                      const Preparation &preparation, const ConversionProgress &progress)
{
    ConversionReport unused;
    ConversionReport &outcome = report ? *report : unused;
    outcome = ConversionReport();
    return Conversion(outcome, preparation, progress)
        .Run(input, output, untouchable,
             replaceExisting ? OutputFile::Existing::Replace : OutputFile::Existing::Keep);
}
