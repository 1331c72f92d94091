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
// after "; ". The paths as the user sees them. A copy `prepared` says, after
// the format, how long it is and what was done ("prepared to 1.20 s:
// trimmed 0.50 s + 0.30 s, gain +6.2 dB").
QString DescribeConversion(const QString &input, const QString &output,
                           const ConversionReport &report, bool prepared = false);

// The conversion of `input` into `output` as JSON: file, output, status
// ("converted", "unreadable", "empty", "too long", "not written", "not
// prepared"), reason, format and seconds of the source, and of a copy made:
// copied, clipped, slot_size, its seconds (copy_seconds), warnings and, when
// `prepared`, preparation: summary, trimmed_start, trimmed_end, cut_at (s);
// fade_in, fade_out (ms); gain, held_back (dB), unmeasurable; and where the
// gain set them, loudness (LUFS), true_peak (dBTP), sample_peak (dBFS).
QJsonObject ConversionJson(const QString &input, const QString &output,
                           const ConversionReport &report, bool prepared = false);

#endif // AUDIOREPORT_H
