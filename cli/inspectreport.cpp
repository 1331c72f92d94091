#include "inspectreport.h"

#include "console.h"

#include "soundfile/soundfileparser.h"

#include <QJsonArray>
#include <QTextStream>

namespace {

template <typename T, std::size_t N> QJsonArray jsonArray(const T (&values)[N])
{
    QJsonArray array;
    for (const T value : values)
        array.append(qint64(value));
    return array;
}

template <typename T, std::size_t N> QString textList(const T (&values)[N])
{
    QStringList list;
    for (const T value : values)
        list << QString::number(value);
    return list.join(QLatin1Char(' '));
}

void field(QTextStream &out, const char *name, const QString &value)
{
    out << qSetFieldWidth(18) << Qt::left << name << qSetFieldWidth(0) << Printable(value) << "\n";
}

} // namespace

QJsonObject InspectionJson(const QString &path, const SoundFileInfo &info)
{
    QJsonArray layers;
    for (const SoundFileLayer &layer : info.Layers) {
        layers.append(QJsonObject{{QStringLiteral("name"), layer.Name},
                                  {QStringLiteral("threshold"), layer.Threshold},
                                  {QStringLiteral("offset"), layer.Offset},
                                  {QStringLiteral("size"), layer.Size}});
    }
    return QJsonObject{
        {QStringLiteral("path"), path},
        {QStringLiteral("file_name"), info.FileName},
        {QStringLiteral("file_length"), info.FileLength},
        {QStringLiteral("header_length"), info.HeaderLength},
        {QStringLiteral("layer_count"), info.LayerCount},
        {QStringLiteral("random_tag"), qint64(info.RandomTag)},
        {QStringLiteral("upper_thresholds"), jsonArray(info.UpperThresholds)},
        {QStringLiteral("block_counts"), jsonArray(info.BlockCounts)},
        {QStringLiteral("data_offsets"), jsonArray(info.DataOffsets)},
        {QStringLiteral("thresholds"), jsonArray(info.Thresholds)},
        {QStringLiteral("page_counts"), jsonArray(info.PageCounts)},
        {QStringLiteral("layers"), layers},
        {QStringLiteral("valid"), info.IsValid()},
        {QStringLiteral("problems"), QJsonArray::fromStringList(info.Problems)},
        {QStringLiteral("notes"), QJsonArray::fromStringList(info.Notes)},
    };
}

void WriteInspection(QTextStream &out, const QString &path, const SoundFileInfo &info)
{
    field(out, "File", path);
    field(out, "Name in header", info.FileName);
    field(out, "File length", QString::number(info.FileLength));
    field(out, "Header length", QString::number(info.HeaderLength));
    field(out, "Random tag", QString::number(info.RandomTag));
    field(out, "Upper thresholds", textList(info.UpperThresholds));
    field(out, "Block counts", textList(info.BlockCounts));
    field(out, "Data offsets", textList(info.DataOffsets));
    field(out, "Thresholds", textList(info.Thresholds));
    field(out, "Page counts", textList(info.PageCounts));
    field(out, "Layers", QString::number(info.LayerCount));

    if (!info.Layers.isEmpty()) {
        out << "\n"
            << QStringLiteral("%1  %2  %3  %4  %5")
                   .arg(QStringLiteral("Layer"), 5)
                   .arg(QStringLiteral("Threshold"), 9)
                   .arg(QStringLiteral("Offset"), 8)
                   .arg(QStringLiteral("Slot size"), 9)
                   .arg(QStringLiteral("Name"))
            << "\n";
        for (int k = 0; k < info.Layers.size(); ++k) {
            const SoundFileLayer &layer = info.Layers.at(k);
            out << QStringLiteral("%1  %2  %3  %4  %5")
                       .arg(k + 1, 5)
                       .arg(layer.Threshold, 9)
                       .arg(layer.Offset, 8)
                       .arg(layer.Size, 9)
                       .arg(Printable(layer.Name))
                << "\n";
        }
    }
    out << "\n";
    for (const QString &note : info.Notes)
        out << "Note: " << Printable(note) << "\n";
    if (info.IsValid()) {
        out << "Valid" << Qt::endl;
        return;
    }
    out << "Not valid:\n";
    for (const QString &problem : info.Problems)
        out << "  - " << Printable(problem) << "\n";
    out << Qt::flush;
}
