#include "analysisreport.h"

#include "console.h"

#include "audio/signalanalysis.h"

#include <QJsonValue>
#include <QStringList>

#include <cmath>

namespace {

// The columns: each as wide as its heading.
const QStringList Headings{
    QStringLiteral("seconds"),        QStringLiteral("peak dBFS"),
    QStringLiteral("true peak dBTP"), QStringLiteral("loudness LUFS"),
    QStringLiteral("silent start"),   QStringLiteral("silent end"),
    QStringLiteral("clipped"),
};

QString level(double decibels)
{
    return std::isfinite(decibels) ? QString::number(decibels, 'f', 1) : QStringLiteral("-inf");
}

QString seconds(double value)
{
    return QString::number(value, 'f', 2);
}

QJsonValue levelJson(double decibels)
{
    return std::isfinite(decibels) ? QJsonValue(decibels) : QJsonValue(QJsonValue::Null);
}

} // namespace

QString AnalysisHeading()
{
    return Headings.join(QStringLiteral("  ")) + QStringLiteral("  file");
}

QString AnalysisRow(const SignalAnalysis &analysis, const QString &name)
{
    const QStringList values{seconds(analysis.Seconds(analysis.Frames)),
                             level(analysis.SamplePeak),
                             level(analysis.TruePeak),
                             level(analysis.Loudness),
                             seconds(analysis.Seconds(analysis.LeadingSilence)),
                             seconds(analysis.Seconds(analysis.TrailingSilence)),
                             QString::number(analysis.Clipped)};
    QStringList cells;
    for (qsizetype column = 0; column < Headings.size(); ++column)
        cells << values.at(column).rightJustified(Headings.at(column).size());
    return cells.join(QStringLiteral("  ")) + QStringLiteral("  ") + Printable(name);
}

QJsonObject AnalysisJson(const SignalAnalysis &analysis)
{
    return QJsonObject{
        {QStringLiteral("seconds"), analysis.Seconds(analysis.Frames)},
        {QStringLiteral("sample_peak"), levelJson(analysis.SamplePeak)},
        {QStringLiteral("true_peak"), levelJson(analysis.TruePeak)},
        {QStringLiteral("loudness"), levelJson(analysis.Loudness)},
        {QStringLiteral("leading_silence"), analysis.Seconds(analysis.LeadingSilence)},
        {QStringLiteral("trailing_silence"), analysis.Seconds(analysis.TrailingSilence)},
        {QStringLiteral("clipped"), analysis.Clipped},
    };
}
