#include "wavefilereader.h"

#include "inputfile.h"
#include "waveheader.h"

#include <QDebug>
#include <QFileInfo>

namespace {

WaveCheck refused(int status, const QString &reason)
{
    return WaveCheck{status, reason, 0};
}

} // namespace

WaveCheck CheckWaveFile(const QString &path)
{
    if (path.isEmpty()) {
        qDebug() << "No file choosen";
        return refused(WaveStatus::NoFileChosen, QStringLiteral("no file was chosen"));
    }
    const QString name = QFileInfo(path).fileName();
    if (name.size() > MaxLayerNameLength) {
        return refused(WaveStatus::NameTooLong,
                       QStringLiteral("the file name has %1 characters, at most %2")
                           .arg(name.size())
                           .arg(MaxLayerNameLength));
    }
    if (name.contains(QLatin1Char('\n')))
        return refused(WaveStatus::CannotOpen, QStringLiteral("its name contains a line break"));

    qDebug() << path << "File opening";
    InputFile file;
    QByteArray header;
    if (!file.Open(path)) {
        qDebug() << "Unable to open " << path;
        return refused(WaveStatus::CannotOpen, file.ErrorString());
    }
    if (!file.ReadAt(0, WaveHeader::Size, header)) {
        qDebug() << "Unable to read " << path;
        return refused(WaveStatus::CannotOpen, file.ErrorString());
    }
    file.Close();

    switch (WaveHeader::Check(header)) {
    case WaveHeader::Problem::NoDataTag:
        qDebug() << "format of fifle is apple-similar. Escaped";
        return refused(WaveStatus::NoDataChunk, WaveHeader::Describe(header));
    case WaveHeader::Problem::DataLengthOutOfRange:
        qDebug() << "File is too big";
        return refused(WaveStatus::DataLengthOutOfRange, WaveHeader::Describe(header));
    case WaveHeader::Problem::UnsupportedFormat:
        qDebug() << "Incompatible format of fifle";
        return refused(WaveStatus::UnsupportedFormat, WaveHeader::Describe(header));
    case WaveHeader::Problem::None:
        break;
    }

    const quint32 dataLength = WaveHeader::DataLength(header);
    qDebug() << "Measured waveform's length is " << dataLength << "bytes";
    const qint32 slotSize = WaveHeader::SlotSize(dataLength);
    qDebug() << "Trimmed waveform's length is " << slotSize << "bytes";
    return WaveCheck{slotSize, QString(), dataLength};
}

int ReadWaveFile(const QString &path)
{
    return CheckWaveFile(path).Result;
}
