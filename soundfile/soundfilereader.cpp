#include "soundfilereader.h"

bool SoundFileReader::Open(const QString &path)
{
    info = SoundFileInfo();
    cannotRead = false;
    error.clear();
    QByteArray header;
    if (!file.Open(path) ||
        !file.ReadAt(0, qMin(file.Size(), SoundFileParser::MaxHeaderRead), header)) {
        cannotRead = true;
        error = file.ErrorString();
        info.Problems << error;
        return false;
    }
    info = ParseSoundFile(header, file.Size(),
                          [this](qint64 slotEnd) { return slotEndsInZeros(slotEnd); });
    return info.IsValid();
}

bool SoundFileReader::slotEndsInZeros(qint64 slotEnd)
{
    QByteArray last;
    return slotEnd >= 2 && file.ReadAt(slotEnd - 2, 2, last) && last == QByteArray(2, '\0');
}

bool SoundFileReader::ReadSlot(int index, QByteArray &bytes)
{
    if (index < 0 || index >= info.Layers.size()) {
        error = QStringLiteral("the sound file has no layer %1").arg(index + 1);
        return false;
    }
    const SoundFileLayer &layer = info.Layers.at(index);
    if (!file.ReadAt(layer.Offset, layer.Size, bytes)) {
        error = file.ErrorString();
        return false;
    }
    if (bytes.size() != layer.Size) {
        error = QStringLiteral("the file ends inside the slot of layer %1").arg(index + 1);
        return false;
    }
    return true;
}

SoundFileInfo ReadSoundFileInfo(const QString &path)
{
    SoundFileReader reader;
    if (reader.Open(path) || !reader.CannotRead())
        return reader.Info();
    SoundFileInfo info;
    info.Problems << QStringLiteral("%1: %2").arg(path, reader.ErrorString());
    return info;
}
