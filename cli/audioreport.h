#ifndef AUDIOREPORT_H
#define AUDIOREPORT_H

#include <QJsonObject>
#include <QString>

struct AudioFormat;
struct ConversionReport;

// What an audio file is, as JSON: container, encoding, sample_rate, channels.
QJsonObject FormatJson(const AudioFormat &format);

// One line on a copy made: "<input> -> <output>: <source format>; <n>
// samples clipped; slot size <s> bytes", and the report's warnings, each
// after "; ". The paths as the user sees them.
QString DescribeConversion(const QString &input, const QString &output,
                           const ConversionReport &report);

// The conversion of `input` into `output` as JSON: file, output, status
// ("converted", "unreadable", "empty", "too long", "not written"), reason,
// format and seconds of the source, and of a copy made: copied, clipped,
// slot_size, its seconds (copy_seconds) and warnings.
QJsonObject ConversionJson(const QString &input, const QString &output,
                           const ConversionReport &report);

#endif // AUDIOREPORT_H
