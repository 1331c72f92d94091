#ifndef INSPECTREPORT_H
#define INSPECTREPORT_H

#include <QJsonObject>
#include <QString>

class QTextStream;
struct SoundFileInfo;

// The inspection of the sound file at `path` as one JSON object: file_name,
// header_length, layer_count, file_length, thresholds, layers (name,
// threshold, offset, size), valid, problems, and the other header fields.
QJsonObject InspectionJson(const QString &path, const SoundFileInfo &info);

// The same as text: the header's fields, a table of the layers, and the
// verdict with every problem.
void WriteInspection(QTextStream &out, const QString &path, const SoundFileInfo &info);

#endif // INSPECTREPORT_H
