#include "audioconverter.h"

#include "audiosource.h"
#include "resampler.h"
#include "samplequantizer.h"

#include "soundfile/outputfile.h"
#include "wav/waveheader.h"

#include <QDebug>
#include <QtEndian>

#include <cmath>
#include <vector>

namespace {

constexpr qint64 BlockFrames = 8192;

QString tooLong(double seconds)
{
    return QStringLiteral("it lasts %1; a layer holds at most %2")
        .arg(SecondsText(seconds), SecondsText(LayerFormat::MaxSeconds));
}

class Conversion
{
public:
    Conversion(ConversionReport &report) : report(report) {}

    bool Run(const QString &input, const QString &output, const QList<FileIdentity> &untouchable);

private:
    bool fail(ConversionResult result, const QString &reason)
    {
        report.Result = result;
        report.Reason = reason;
        qDebug() << "Not converted:" << reason;
        return false;
    }
    bool tooLongSoFar() const { return LayerFormat::TooLong(double(decoded), format().SampleRate); }
    const AudioFormat &format() const { return source.Format(); }
    bool copy();
    bool convert();
    bool write(OutputFile &out);

    ConversionReport &report;
    AudioSource source;
    qint64 decoded = 0; // frames of the source
    std::vector<qint16> samples;
};

bool Conversion::Run(const QString &input, const QString &output,
                     const QList<FileIdentity> &untouchable)
{
    qDebug() << input << "Converting to " << output;
    if (!source.Open(input))
        return fail(ConversionResult::Unreadable, source.ErrorString());
    report.Source = format();
    qDebug() << "Source:" << format().Describe();
    if (format().ExactLength && format().Frames == 0)
        return fail(ConversionResult::Empty, QStringLiteral("it holds no samples"));
    if (format().ExactLength && LayerFormat::TooLong(double(format().Frames), format().SampleRate))
        return fail(ConversionResult::TooLong, tooLong(format().Seconds()));

    OutputFile out(output);
    if (!out.Open())
        return fail(ConversionResult::NotWritten, out.ErrorString());
    if (out.ReplacesExisting() && out.ExistingIdentity() == source.Identity())
        return fail(ConversionResult::NotWritten, QStringLiteral("it is the file being converted"));
    if (out.ReplacesExisting() && untouchable.contains(out.ExistingIdentity()))
        return fail(ConversionResult::NotWritten,
                    QStringLiteral("it is one of the inputs, or a copy already made"));

    samples.reserve(size_t(
        qBound<qint64>(0, LayerFormat::FramesAt(double(format().Frames), format().SampleRate),
                       LayerFormat::MaxFrames)));
    report.Copied = format().IsLayerFormat();
    if (!(report.Copied ? copy() : convert()))
        return false;
    if (source.Failed())
        return fail(ConversionResult::Unreadable, source.ErrorString());
    // A file cut short (a FLAC that lost its end at a frame boundary) decodes
    // without an error but gives fewer samples than it announces.
    if (format().ExactLength && decoded < format().Frames) {
        return fail(ConversionResult::Unreadable,
                    QStringLiteral("the %1 file ends early: %2 of its %3 could be decoded")
                        .arg(format().Container, SecondsText(double(decoded) / format().SampleRate),
                             SecondsText(format().Seconds())));
    }
    if (decoded == 0)
        return fail(ConversionResult::Empty, QStringLiteral("it holds no samples"));
    return write(out);
}

bool Conversion::copy()
{
    for (;;) {
        const size_t start = samples.size();
        samples.resize(start + BlockFrames);
        const qint64 got = source.ReadPcm16(samples.data() + start, BlockFrames);
        samples.resize(start + size_t(qMax<qint64>(got, 0)));
        decoded += qMax<qint64>(got, 0);
        if (tooLongSoFar()) {
            return fail(ConversionResult::TooLong,
                        tooLong(double(qMax(decoded, format().Frames)) / format().SampleRate));
        }
        if (got < BlockFrames)
            return true;
    }
}

bool Conversion::convert()
{
    const bool resampling = format().SampleRate != LayerFormat::SampleRate;
    Resampler resampler;
    if (resampling && !resampler.Start(format().SampleRate, LayerFormat::SampleRate)) {
        return fail(ConversionResult::Unreadable,
                    QStringLiteral("its sample rate of %1 Hz cannot be converted")
                        .arg(format().SampleRate));
    }
    SampleQuantizer quantizer(format().HighResolution);
    std::vector<float> block(BlockFrames);
    std::vector<float> resampled;
    auto keep = [&](const float *values, qint64 count) {
        const size_t start = samples.size();
        samples.resize(start + size_t(count));
        quantizer.Quantize(values, count, samples.data() + start);
    };
    for (;;) {
        const qint64 got = source.ReadMono(block.data(), BlockFrames);
        if (got <= 0)
            break;
        decoded += got;
        if (tooLongSoFar()) {
            return fail(ConversionResult::TooLong,
                        tooLong(double(qMax(decoded, format().Frames)) / format().SampleRate));
        }
        if (!resampling) {
            keep(block.data(), got);
            continue;
        }
        resampled.clear();
        if (!resampler.Process(block.data(), got, resampled))
            return fail(ConversionResult::Unreadable, QStringLiteral("resampling failed"));
        keep(resampled.data(), qint64(resampled.size()));
    }
    if (resampling) {
        resampled.clear();
        if (!resampler.Finish(resampled))
            return fail(ConversionResult::Unreadable, QStringLiteral("resampling failed"));
        keep(resampled.data(), qint64(resampled.size()));
    }
    report.Clipped = quantizer.Clipped();
    return true;
}

bool Conversion::write(OutputFile &out)
{
    // Exactly as many samples as the source's duration makes at 44100 Hz.
    const qint64 frames =
        report.Copied ? decoded : LayerFormat::FramesAt(double(decoded), format().SampleRate);
    samples.resize(size_t(qMax(frames, LayerFormat::MinFrames)), 0);
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
    qDebug() << "Converted:" << report.Frames << "samples," << report.Clipped << "clipped";
    return true;
}

} // namespace

bool ConvertAudioFile(const QString &input, const QString &output, ConversionReport *report,
                      const QList<FileIdentity> &untouchable)
{
    ConversionReport unused;
    ConversionReport &outcome = report ? *report : unused;
    outcome = ConversionReport();
    return Conversion(outcome).Run(input, output, untouchable);
}
