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
    if (sox.isEmpty())
        qFatal("sox is not installed");
    const QDir dir(folder);
    const QString input = dir.filePath(QStringLiteral("tone-48k-stereo-24bit.wav"));
    const QString tiny = dir.filePath(QStringLiteral("tiny-48k-stereo-24bit.wav"));
    const QString ours = dir.filePath(QStringLiteral("qmstool.wav"));
    const QString theirs = dir.filePath(QStringLiteral("sox.wav"));
    const QString inProcess = dir.filePath(QStringLiteral("in-process.wav"));
    for (const auto &[path, seconds] : {std::pair{input, "30"}, std::pair{tiny, "0.1"}}) {
        run(sox, {"-n", "-r", "48000", "-c", "2", "-b", "24", path, "synth", seconds, "sine",
                  "1000", "vol", "0.5"});
    }

    auto qmstool = [&] {
        run(QStringLiteral(QMSTOOL_PATH),
            {QStringLiteral("convert"), QStringLiteral("-o"), ours, input});
    };
    auto soxRate = [&] { run(sox, {input, "-r", "44100", "-c", "1", "-b", "16", theirs}); };
    auto convert = [&] {
        if (!ConvertAudioFile(input, inProcess))
            qFatal("ConvertAudioFile failed");
    };
    qmstool(), soxRate(), convert();
    const std::vector<double> ms = MedianMilliseconds({qmstool, soxRate, convert}, rounds);

    std::printf("Converting 30 s of 48 kHz, stereo, 24-bit WAV, median of %d rounds:\n", rounds);
    std::printf("  qmstool convert -o OUT IN               %8.2f ms\n", ms[0]);
    std::printf("  sox IN -r 44100 -c 1 -b 16 OUT (base)   %8.2f ms\n", ms[1]);
    std::printf("  ratio qmstool / sox                     %8.2f   (goal: at most 1.0)\n",
                ms[0] / ms[1]);
    std::printf("  ConvertAudioFile in this process        %8.2f ms\n", ms[2]);

    const Sine a = measure(samplesOf(ours));
    const Sine b = measure(samplesOf(theirs));
    std::printf("1 kHz sine at -6.02 dB in both channels:\n");
    std::printf("  qmstool                                 %10.4f Hz %8.3f dB\n", a.Frequency,
                a.Level);
    std::printf("  sox                                     %10.4f Hz %8.3f dB\n", b.Frequency,
                b.Level);
    std::printf("  level difference                        %8.3f dB   (goal: within 0.1)\n",
                a.Level - b.Level);

    const int runs = 5;
    const long large =
        MedianPeakKiB(folder, {QStringLiteral("convert"), QStringLiteral("-o"), ours, input}, runs);
    const long small =
        MedianPeakKiB(folder, {QStringLiteral("convert"), QStringLiteral("-o"), ours, tiny}, runs);
    std::printf("qmstool convert, peak memory (max RSS), median of %d runs:\n", runs);
    std::printf("  30 s                                    %8ld KiB\n", large);
    std::printf("  0.1 s (baseline)                        %8ld KiB\n", small);
    std::printf("  difference                              %8.2f MiB   (goal: at most 8 MiB)\n",
                double(large - small) / 1024);
}
