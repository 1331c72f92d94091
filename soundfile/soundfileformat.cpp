#include "soundfileformat.h"

#include "soundjob.h"

#include <QtEndian>

#include <random>

namespace SoundFileFormat {

namespace {

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

char thresholdByte(qint32 threshold)
{
    return char(quint8(threshold) & ThresholdMask);
}

} // namespace

QByteArray BuildHeader(const SoundJob &job, quint32 randomTag)
{
    const int count = qBound(0, int(job.Count), int(Limits::LayerCount));

    QByteArray header;
    header.reserve(2 * HeaderUnit);
    header.append(Signature, SignatureSize);
    appendLe32(header, randomTag);
    header.append(reinterpret_cast<const char *>(FixedBytes), sizeof FixedBytes);

    if (count > 3) {
        for (int k = 0; k < 3; ++k)
            header.append(thresholdByte(job.Thresholds[k]));
    } else {
        header.append(reinterpret_cast<const char *>(DefaultUpperThresholds),
                      sizeof DefaultUpperThresholds);
    }

    quint32 blocks = (quint32(job.Sizes[0]) >> 9) & CountMask;
    appendLe16(header, quint16(blocks));
    for (int k = 1; k < OffsetLayers; ++k) {
        if (count > k)
            blocks = (quint32(job.Sizes[k]) >> 9) & CountMask;
        appendLe16(header, quint16(blocks));
    }

    // Data offsets need the header length; filled in below.
    header.append(OffsetLayers * 4, '\0');

    for (int k = 0; k < Limits::LayerCount; ++k)
        header.append(thresholdByte(job.Thresholds[k]));
    for (int k = 0; k < Limits::LayerCount; ++k)
        appendLe16(header, quint16((quint32(job.Sizes[k]) >> 8) & CountMask));
    header.append(8, '\0');

    header.append(NameSeparator);
    header.append(job.FileName.toUtf8());
    header.append(NameSeparator);
    for (int k = 0; k < Limits::LayerCount; ++k) {
        header.append(job.Names[k].toUtf8());
        header.append(NameSeparator);
    }
    header.append(HeaderUnit - header.size() % HeaderUnit, FillerByte);

    quint32 offset = quint32(header.size());
    qToLittleEndian(offset, header.data() + DataOffsetsOffset);
    for (int k = 1; k < OffsetLayers; ++k) {
        if (count > k)
            offset += quint32(job.Sizes[k - 1]);
        qToLittleEndian(offset, header.data() + DataOffsetsOffset + 4 * k);
    }
    return header;
}

qint64 FileLength(const SoundJob &job, qint64 headerLength)
{
    qint64 length = headerLength;
    for (qint32 size : job.Sizes)
        length += size;
    return length;
}

qint64 SpaceForLayer(const SoundJob &job, const QString &name)
{
    if (job.Count >= Limits::LayerCount)
        return 0;
    SoundJob grown = job;
    grown.Names[grown.Count] = name;
    grown.Sizes[grown.Count] = 0;
    ++grown.Count;
    return Limits::Capacity - FileLength(grown, BuildHeader(grown, 0).size());
}

quint32 RandomTag(qint64 seconds)
{
    std::minstd_rand generator{quint32(seconds)};
    std::uniform_int_distribution<quint32> draw(0, 32767);
    const quint32 first = draw(generator);
    return first * draw(generator);
}

} // namespace SoundFileFormat
