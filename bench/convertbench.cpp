#include "convertbench.h"

#include "measure.h"
#include "memorybench.h"

#include "audio/audioconverter.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Runs `program` with `arguments`, its output dropped; dies when it fails.
void run(const QString &program, const QStringList &arguments)
{
    if (RunQuietly(program, arguments) != 0)
        qFatal("%s %s failed", qPrintable(program), qPrintable(arguments.join(' ')));
}

// The samples of a 16-bit mono WAV file with the canonical 44-byte header.
std::vector<double> samplesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    const QByteArray bytes = file.readAll().mid(44);
    std::vector<double> samples(size_t(bytes.size() / 2));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i) / 32768.0;
    return samples;
}

struct Sine
{
    double Frequency; // Hz
    double Level;     // dB against full scale, of the sine's peak
};

// The frequency from the upward zero crossings (placed between samples by
// the straight line through their neighbours), the level from the RMS, both
// over all but the first and last half second.
Sine measure(const std::vector<double> &samples)
{
    const size_t edge = 22050;
    double first = -1;
    double last = -1;
    long crossings = 0;
    double sumOfSquares = 0;
    for (size_t i = edge; i + edge < samples.size(); ++i) {
        sumOfSquares += samples[i] * samples[i];
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double at = double(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    const double rms = std::sqrt(sumOfSquares / double(samples.size() - 2 * edge));
    return {double(crossings - 1) * 44100 / (last - first), 20 * std::log10(rms * std::sqrt(2.0))};
}

} // namespace

void RunConvertBench(const QString &folder, int rounds)
{
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (sox.isEmpty() || ffmpeg.isEmpty())
        qFatal("sox and ffmpeg must be installed");
    const QDir dir(folder);
    const QString wav = dir.filePath(QStringLiteral("tone-48k-stereo-24bit.wav"));
    const QString tiny = dir.filePath(QStringLiteral("tiny-48k-stereo-24bit.wav"));
    const QString tinyAac = dir.filePath(QStringLiteral("tiny.m4a"));
    const QString inProcess = dir.filePath(QStringLiteral("in-process.wav"));
    for (const auto &[path, seconds] : {std::pair{wav, "30"}, std::pair{tiny, "0.1"}}) {
        run(sox, {"-n", "-r", "48000", "-c", "2", "-b", "24", path, "synth", seconds, "sine",
                  "1000", "vol", "0.5"});
    }
    run(ffmpeg, {"-nostdin", "-y", "-i", tiny, "-c:a", "aac", tinyAac});

    // Each source against the tool a user would pick instead: sox, and for
    // AAC (which sox does not read) ffmpeg.
    struct Source
    {
        QString Label;
        QString Input;
        QStringList Make; // ffmpeg's arguments that make it from the WAV file
        bool AgainstFfmpeg;
    };
    const std::vector<Source> sources{
        {QStringLiteral("WAV, 24-bit"), wav, {}, false},
        {QStringLiteral("FLAC, 24-bit"), dir.filePath(QStringLiteral("tone.flac")), {}, false},
        {QStringLiteral("MP3, 192 kbit/s"),
         dir.filePath(QStringLiteral("tone.mp3")),
         {"-c:a", "libmp3lame", "-b:a", "192k"},
         false},
        {QStringLiteral("AAC in M4A"),
         dir.filePath(QStringLiteral("tone.m4a")),
         {"-c:a", "aac"},
         true},
    };
    std::vector<std::function<void()>> candidates;
    for (const Source &source : sources) {
        if (source.Input != wav)
            run(ffmpeg,
                QStringList{"-nostdin", "-y", "-i", wav} + source.Make + QStringList{source.Input});
        const QString ours = source.Input + QStringLiteral(".qmstool.wav");
        const QString theirs = source.Input + QStringLiteral(".baseline.wav");
        candidates.push_back([=] {
            run(QStringLiteral(QMSTOOL_PATH), {QStringLiteral("convert"), QStringLiteral("-f"),
                                               QStringLiteral("-o"), ours, source.Input});
        });
        if (source.AgainstFfmpeg) {
            candidates.push_back([=] {
                run(ffmpeg, {"-nostdin", "-y", "-i", source.Input, "-ar", "44100", "-ac", "1",
                             "-c:a", "pcm_s16le", theirs});
            });
        } else {
            candidates.push_back([=] {
                run(sox, {source.Input, "-r", "44100", "-c", "1", "-b", "16", theirs});
            });
        }
    }
    candidates.push_back([&] {
        if (!ConvertAudioFile(wav, inProcess))
            qFatal("ConvertAudioFile failed");
    });
    for (const auto &candidate : candidates)
        candidate();
    const std::vector<double> ms = MedianMilliseconds(candidates, rounds);

    std::printf("Converting 30 s of a 1 kHz sine at -6 dB in both channels (48 kHz, stereo),\n"
                "median of %d rounds:\n",
                rounds);
    std::printf("  %-18s %10s %10s %-7s %6s   (goal: at most 1.0)\n", "source", "qmstool",
                "baseline", "", "ratio");
    for (size_t i = 0; i < sources.size(); ++i) {
        std::printf("  %-18s %7.2f ms %7.2f ms %-7s %6.2f\n", qPrintable(sources[i].Label),
                    ms[2 * i], ms[2 * i + 1], sources[i].AgainstFfmpeg ? "ffmpeg" : "sox",
                    ms[2 * i] / ms[2 * i + 1]);
    }
    std::printf("  ConvertAudioFile of the WAV file in this process %8.2f ms\n", ms.back());

    std::printf("The sine in the copies, qmstool / baseline:\n");
    for (const Source &source : sources) {
        const Sine a = measure(samplesOf(source.Input + QStringLiteral(".qmstool.wav")));
        const Sine b = measure(samplesOf(source.Input + QStringLiteral(".baseline.wav")));
        std::printf("  %-18s %10.4f Hz %8.3f dB / %10.4f Hz %8.3f dB   difference %6.3f dB\n",
                    qPrintable(source.Label), a.Frequency, a.Level, b.Frequency, b.Level,
                    a.Level - b.Level);
    }

    const int runs = 5;
    const QString out = dir.filePath(QStringLiteral("memory.wav"));
    auto peak = [&](const QString &input) {
        return MedianPeakKiB(
            folder,
            {QStringLiteral("convert"), QStringLiteral("-f"), QStringLiteral("-o"), out, input},
            runs);
    };
    const long large = peak(wav);
    const long small = peak(tiny);
    const long largeAac = peak(sources.back().Input);
    const long smallAac = peak(tinyAac);
    std::printf("qmstool convert, peak memory (max RSS), median of %d runs:\n", runs);
    std::printf("  WAV: 30 s %ld KiB, 0.1 s %ld KiB (baseline), difference %.2f MiB   (goal: at "
                "most 8 MiB)\n",
                large, small, double(large - small) / 1024);
    std::printf("  AAC: 30 s %ld KiB, 0.1 s %ld KiB, difference %.2f MiB; FFmpeg's libraries "
                "loaded: %.2f MiB over the WAV\n",
                largeAac, smallAac, double(largeAac - smallAac) / 1024,
                double(smallAac - small) / 1024);
}
