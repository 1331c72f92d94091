#include "wavefilereader.h"

#include "inputfile.h"
#include "waveheader.h"

#include "core/debuglines.h"
#include "core/limits.h"

#include <QFileInfo>

LayerCheck CheckWaveFile(const QString &path)
{
    if (path.isEmpty()) {
        qCDebug(DebugLines) << "No file choosen";
        return LayerCheck::Refused(LayerStatus::NoFileChosen, QStringLiteral("no file was chosen"));
    }
    const QString name = QFileInfo(path).fileName();
    if (name.size() > Limits::NameLength) {
        return LayerCheck::Refused(LayerStatus::NameTooLong,
                                   QStringLiteral("the file name has %1 characters, at most %2")
                                       .arg(name.size())
                                       .arg(Limits::NameLength));
    }
    if (name.contains(QLatin1Char('\n')))
        return LayerCheck::Refused(LayerStatus::CannotOpen,
                                   QStringLiteral("its name contains a line break"));

    qCDebug(DebugLines) << path << "File opening";
    InputFile file;
    QByteArray header;
    if (!file.Open(path)) {
        qCDebug(DebugLines) << "Unable to open " << path;
        return LayerCheck::Refused(LayerStatus::CannotOpen, file.ErrorString());
    }
    if (!file.ReadAt(0, WaveHeader::Size, header)) {
        qCDebug(DebugLines) << "Unable to read " << path;
        return LayerCheck::Refused(LayerStatus::CannotOpen, file.ErrorString());
    }
    file.Close();

    switch (WaveHeader::Check(header)) {
    case WaveHeader::Problem::NoDataTag:
        qCDebug(DebugLines) << "format of fifle is apple-similar. Escaped";
        return LayerCheck::Refused(LayerStatus::NoDataChunk, WaveHeader::Describe(header));
    case WaveHeader::Problem::DataLengthOutOfRange:
        qCDebug(DebugLines) << "File is too big";
        return LayerCheck::Refused(LayerStatus::DataLengthOutOfRange, WaveHeader::Describe(header));
    case WaveHeader::Problem::UnsupportedFormat:
        qCDebug(DebugLines) << "Incompatible format of fifle";
        return LayerCheck::Refused(LayerStatus::UnsupportedFormat, WaveHeader::Describe(header));
    case WaveHeader::Problem::None:
        break;
    }

    const quint32 dataLength = WaveHeader::DataLength(header);
    qCDebug(DebugLines) << "Measured waveform's length is " << dataLength << "bytes";
    const qint32 slotSize = WaveHeader::SlotSize(dataLength);
    qCDebug(DebugLines) << "Trimmed waveform's length is " << slotSize << "bytes";
    return LayerCheck::Slot(slotSize, dataLength);
}

int ReadWaveFile(const QString &path)
{
    return CheckWaveFile(path).Result();
}
