#include "audioreport.h"

#include "console.h"
#include "waverefusal.h"

#include "audio/audioconverter.h"
#include "core/duration.h"

#include <QJsonArray>

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
    }
    return QString();
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
                           const ConversionReport &report)
{
    QString line =
        QStringLiteral("%1 -> %2: %3;%4 %5 %6 clipped; slot size %7 bytes")
            .arg(DisplayedPath(input), Printable(output), Printable(report.Source.Describe()),
                 report.Copied ? QStringLiteral(" copied sample for sample;") : QString())
            .arg(report.Clipped)
            .arg(report.Clipped == 1 ? QStringLiteral("sample") : QStringLiteral("samples"))
            .arg(report.SlotSize);
    for (const QString &warning : report.Warnings)
        line += QStringLiteral("; ") + Printable(warning);
    return line;
}

QJsonObject ConversionJson(const QString &input, const QString &output,
                           const ConversionReport &report)
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
    }
    return json;
}
