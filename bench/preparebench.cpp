#include "preparebench.h"

#include "measure.h"

#include "audio/audioconverter.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <functional>
#include <vector>

void RunPrepareBench(const QString &folder, int rounds)
{
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (sox.isEmpty())
        qFatal("sox must be installed");
    const QDir dir(folder);
    const QString input = dir.filePath(QStringLiteral("prepare-48k-stereo-24bit.wav"));
    const QString output = dir.filePath(QStringLiteral("prepared.wav"));
    if (RunQuietly(sox, {"-n", "-r", "48000", "-c", "2", "-b", "24", input, "synth", "30", "sine",
                         "1000", "vol", "0.5"}) != 0)
        qFatal("sox failed");

    // The sine measures -9 LUFS. At -16 LUFS it is turned down, far from the
    // ceiling; at -3 LUFS it is turned up into it. The file fits a layer:
    // nothing is cut, so all of it is decoded either way.
    Preparation down;
    down.Trim = Preparation::DefaultTrimLevel;
    down.Loudness = -16;
    down.FadeIn = 50;
    down.FadeOut = 50;
    down.Fit = true;
    Preparation up = down;
    up.Loudness = -3;
    ConversionReport reports[2];
    auto convert = [&](const Preparation &preparation, ConversionReport *report) {
        return [&preparation, report, input, output] {
            if (!ConvertAudioFile(input, output, report, {}, true, preparation))
                qFatal("ConvertAudioFile failed");
        };
    };
    const Preparation nothing;
    const std::vector<std::function<void()>> candidates{
        convert(nothing, nullptr), convert(down, &reports[0]), convert(up, &reports[1])};
    for (const auto &candidate : candidates)
        candidate();
    const std::vector<MedianTime> times = MedianTimes(candidates, rounds);

    std::printf("Preparing 30 s of 48 kHz stereo 24-bit WAV in this process, median of %d "
                "rounds:\n",
                rounds);
    std::printf("  %-44s %9s %9s %6s %6s\n", "", "wall", "CPU", "wall", "CPU");
    const char *labels[] = {"ConvertAudioFile, nothing prepared (base)",
                            "trim, 50 ms fades, fit, -16 LUFS", "the same, -3 LUFS"};
    for (size_t i = 0; i < times.size(); ++i) {
        std::printf("  %-44s %6.2f ms %6.2f ms %6.2f %6.2f%s\n", labels[i], times[i].Wall,
                    times[i].Cpu, times[i].Wall / times[0].Wall, times[i].Cpu / times[0].Cpu,
                    i == 1 ? "   (goal: wall at most 1.5)" : "");
        if (i > 0)
            std::printf("    (%s)\n", qPrintable(reports[i - 1].Prepared.Describe()));
    }
}
