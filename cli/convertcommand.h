#ifndef CONVERTCOMMAND_H
#define CONVERTCOMMAND_H

#include <QString>
#include <QStringList>

struct ConversionReport;

// qmstool convert -o OUT.wav INPUT, qmstool convert -d DIR INPUT...: writes
// a copy of each audio file that can be a layer (44100 Hz, 16-bit, mono
// PCM). Returns the exit status.
int RunConvert(const QStringList &arguments);

// One line on a copy made: "<input> -> <output>: <source format>; <n>
// samples clipped; slot size <s> bytes", and the report's warnings, each
// after "; ".
QString DescribeConversion(const QString &input, const QString &output,
                           const ConversionReport &report);

#endif // CONVERTCOMMAND_H
