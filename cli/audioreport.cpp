#include "audioreport.h"

#include "console.h"
#include "waverefusal.h"

#include "audio/audioconverter.h"
#include "core/duration.h"

#include <QJsonArray>

#include <cmath>

namespace {

QString statusName(ConversionResult result)
{
    switch (result) {
    case ConversionResult::Converted:
        return QStringLiteral("converted");
    case ConversionResult::Unreadable:
        return QStringLiteral("unreadable");
    case ConversionResult::Empty:
        return QStringLiteral("empty");
    case ConversionResult::TooLong:
        return QStringLiteral("too long");
    case ConversionResult::NotWritten:
        return QStringLiteral("not written");
    case ConversionResult::Unprepared:
        return QStringLiteral("not prepared");
    case ConversionResult::Cancelled: // qmstool gives no progress function
        return QStringLiteral("cancelled");
    }
    return QString();
}

// "prepared to 1.20 s: trimmed 0.50 s + 0.30 s, gain +6.2 dB".
QString describePreparation(const PreparationReport &prepared)
{
    const QString done = prepared.Describe();
    return QStringLiteral("prepared to %1: %2")
        .arg(SecondsText(PreparationReport::Seconds(prepared.Frames)),
             done.isEmpty() ? QStringLiteral("nothing to change") : done);
}

// What preparing did, as JSON; levels only where they were set.
QJsonObject preparationJson(const PreparationReport &prepared)
{
    QJsonObject json{
        {QStringLiteral("summary"), prepared.Describe()},
        {QStringLiteral("trimmed_start"), PreparationReport::Seconds(prepared.TrimmedStart)},
        {QStringLiteral("trimmed_end"), PreparationReport::Seconds(prepared.TrimmedEnd)},
        {QStringLiteral("fade_in"), prepared.FadeIn},
        {QStringLiteral("fade_out"), prepared.FadeOut},
        {QStringLiteral("gain"), prepared.Gain},
        {QStringLiteral("held_back"), prepared.HeldBack},
        {QStringLiteral("unmeasurable"), prepared.Unmeasurable}};
    if (prepared.CutAt >= 0)
        json.insert(QStringLiteral("cut_at"), PreparationReport::Seconds(prepared.CutAt));
    const std::pair<QString, double> levels[] = {
        {QStringLiteral("loudness"), prepared.Loudness},
        {QStringLiteral("true_peak"), prepared.TruePeak},
        {QStringLiteral("sample_peak"), prepared.SamplePeak}};
    for (const auto &[name, level] : levels) {
        if (std::isfinite(level))
            json.insert(name, level);
    }
    return json;
}

} // namespace

QJsonObject FormatJson(const AudioFormat &format)
{
    return QJsonObject{{QStringLiteral("container"), format.Container},
                       {QStringLiteral("encoding"), format.Encoding},
                       {QStringLiteral("sample_rate"), format.SampleRate},
                       {QStringLiteral("channels"), format.Channels}};
}

QString DescribeConversion(const QString &input, const QString &output,
                           const ConversionReport &report, bool prepared)
{
    QString done;
    if (report.Copied)
        done = QStringLiteral(" copied sample for sample;");
    else if (prepared)
        done = QStringLiteral(" %1;").arg(describePreparation(report.Prepared));
    QString line =
        QStringLiteral("%1 -> %2: %3;%4 %5 %6 clipped; slot size %7 bytes")
            .arg(DisplayedPath(input), Printable(output), Printable(report.Source.Describe()), done)
            .arg(report.Clipped)
            .arg(report.Clipped == 1 ? QStringLiteral("sample") : QStringLiteral("samples"))
            .arg(report.SlotSize);
    for (const QString &warning : report.Warnings)
        line += QStringLiteral("; ") + Printable(warning);
    return line;
}

QJsonObject ConversionJson(const QString &input, const QString &output,
                           const ConversionReport &report, bool prepared)
{
    QJsonObject json{{QStringLiteral("file"), input},
                     {QStringLiteral("output"), output},
                     {QStringLiteral("status"), statusName(report.Result)}};
    if (report.Result != ConversionResult::Converted)
        json.insert(QStringLiteral("reason"), report.Reason);
    if (report.Source.SampleRate > 0) {
        json.insert(QStringLiteral("format"), FormatJson(report.Source));
        json.insert(QStringLiteral("seconds"), report.Source.Seconds());
    }
    if (report.Result == ConversionResult::Converted) {
        json.insert(QStringLiteral("copied"), report.Copied);
        json.insert(QStringLiteral("clipped"), report.Clipped);
        json.insert(QStringLiteral("slot_size"), report.SlotSize);
        json.insert(QStringLiteral("copy_seconds"), SecondsOfBytes(report.DataLength));
        json.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(report.Warnings));
        if (prepared)
            json.insert(QStringLiteral("preparation"), preparationJson(report.Prepared));
    }
    return json;
}
