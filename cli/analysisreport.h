#ifndef ANALYSISREPORT_H
#define ANALYSISREPORT_H

#include <QJsonObject>
#include <QString>

struct SignalAnalysis;

// The analysis as a table people read: one row per sound, under one heading
// line, the numbers right-aligned in seconds, dBFS, dBTP and LUFS, "-inf"
// for silence, the sound's name last.
QString AnalysisHeading();
QString AnalysisRow(const SignalAnalysis &analysis, const QString &name);

// The same as JSON: seconds, sample_peak (dBFS), true_peak (dBTP), loudness
// (LUFS), leading_silence and trailing_silence (seconds), clipped; a level of
// silence (-infinity) is null.
QJsonObject AnalysisJson(const SignalAnalysis &analysis);

#endif // ANALYSISREPORT_H
