#ifndef AUDIOSUPPORT_H
#define AUDIOSUPPORT_H

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <cmath>
#include <vector>

// Audio files made at test time by sox and ffmpeg, and what the tests
// measure in a converted copy.
namespace AudioSupport {

// Runs sox or ffmpeg (`arguments[0]`) with the rest of `arguments`; "" when
// it made its file, else what went wrong. Arguments that end in ">" and a
// path send the program's output to that file (as through a pipe).
inline QString make(const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(arguments.value(0));
    if (program.isEmpty())
        return arguments.value(0) + QStringLiteral(" is not installed");
    QStringList rest = arguments.mid(1);
    QProcess process;
    if (rest.size() >= 2 && rest[rest.size() - 2] == QLatin1String(">")) {
        process.setStandardOutputFile(rest.takeLast());
        rest.removeLast();
    }
    if (arguments.value(0) == QLatin1String("ffmpeg"))
        rest = QStringList{"-nostdin", "-loglevel", "error", "-y"} + rest;
    process.start(program, rest);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return arguments.join(QLatin1Char(' ')) + QStringLiteral(" failed: ") +
               QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

// sox's arguments for 0.5 s of a 1 kHz sine on the left (or only) channel
// and a 3 kHz sine on the right, each at half of full scale, into `path`
// with the format options `format` ("-r 48000 -c 2 -b 24").
inline QStringList soxSines(const QString &format, const QString &path, double volume = 0.5)
{
    QStringList arguments{"sox", "-R", "-n"}; // -R: the same dither, the same file, every run
    arguments << format.split(QLatin1Char(' '), Qt::SkipEmptyParts) << path << "synth"
              << "0.5"
              << "sine"
              << "1000";
    if (format.contains(QLatin1String("-c 2")))
        arguments << "sine"
                  << "3000";
    arguments << "vol" << QString::number(volume);
    return arguments;
}

inline QByteArray checksum(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

// The amplitude (full scale 1.0) of the `frequency` Hz part of 16-bit mono
// samples at 44100 Hz, over the whole length.
inline double amplitudeAt(const QByteArray &samples, double frequency)
{
    const qsizetype count = samples.size() / 2;
    double re = 0;
    double im = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const double value = qFromLittleEndian<qint16>(samples.constData() + 2 * i) / 32768.0;
        const double phase = 2 * M_PI * frequency * double(i) / 44100.0;
        re += value * std::cos(phase);
        im += value * std::sin(phase);
    }
    return count ? 2 * std::hypot(re, im) / double(count) : 0;
}

inline double decibels(double ratio)
{
    return 20 * std::log10(ratio);
}

// The 16-bit samples of a WAV file with the canonical 44-byte header, full
// scale at 1.0.
inline std::vector<float> samplesOf(const QByteArray &wave)
{
    std::vector<float> samples(size_t(qMax<qsizetype>(0, wave.size() - 44) / 2));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(wave.constData() + 44 + 2 * i) / 32768.0f;
    return samples;
}

// The integrated loudness (LUFS) and true peak (dBTP) of the audio file at
// `path` as ffmpeg's ebur128 filter measures them, to a tenth; "" when it
// did, else what went wrong.
inline QString ffmpegLoudness(const QString &path, double &loudness, double &truePeak)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (program.isEmpty())
        return QStringLiteral("ffmpeg is not installed");
    QProcess process;
    process.start(program, {"-nostdin", "-hide_banner", "-nostats", "-i", path, "-af",
                            "ebur128=peak=true", "-f", "null", "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("ffmpeg could not measure ") + path;
    // The summary at the end: "I: -20.0 LUFS" under "Integrated loudness:",
    // "Peak: -1.2 dBFS" under "True peak:".
    const QString summary = QString::fromLocal8Bit(process.readAllStandardError())
                                .section(QStringLiteral("Summary:"), -1);
    auto figure = [&summary](const QString &heading, const QString &label) {
        const QString after = summary.section(heading, 1).section(label, 1).trimmed();
        bool ok = false;
        const double value = after.section(QLatin1Char(' '), 0, 0).toDouble(&ok);
        return ok ? value : std::nan("");
    };
    loudness = figure(QStringLiteral("Integrated loudness:"), QStringLiteral("I:"));
    truePeak = figure(QStringLiteral("True peak:"), QStringLiteral("Peak:"));
    return std::isnan(loudness) || std::isnan(truePeak)
               ? QStringLiteral("no figures in ffmpeg's summary: ") + summary
               : QString();
}

} // namespace AudioSupport

#endif // AUDIOSUPPORT_H
