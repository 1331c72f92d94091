#include "wavefilereader.h"

#include "waveheader.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

int ReadWaveFile(const QString &path)
{
    if (path.isEmpty()) {
        qDebug() << "No file choosen";
        return WaveStatus::NoFileChosen;
    }
    if (QFileInfo(path).fileName().size() > MaxLayerNameLength)
        return WaveStatus::NameTooLong;

    qDebug() << path << "File opening";
    QFile file(path);
    // Unbuffered, so that nothing beyond the header is read behind our back.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        qDebug() << "Unable to open " << path;
        return WaveStatus::CannotOpen;
    }
    const QByteArray header = file.read(WaveHeader::Size);
    file.close();

    switch (WaveHeader::Check(header)) {
    case WaveHeader::Problem::NoDataTag:
        qDebug() << "format of fifle is apple-similar. Escaped";
        return WaveStatus::NoDataChunk;
    case WaveHeader::Problem::DataLengthOutOfRange:
        qDebug() << "File is too big";
        return WaveStatus::DataLengthOutOfRange;
    case WaveHeader::Problem::UnsupportedFormat:
        qDebug() << "Incompatible format of fifle";
        return WaveStatus::UnsupportedFormat;
    case WaveHeader::Problem::None:
        break;
    }

    const quint32 dataLength = WaveHeader::DataLength(header);
    qDebug() << "Measured waveform's length is " << dataLength << "bytes";
    const qint32 slotSize = WaveHeader::SlotSize(dataLength);
    qDebug() << "Trimmed waveform's length is " << slotSize << "bytes";
    return slotSize;
}
