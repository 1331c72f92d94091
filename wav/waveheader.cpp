#include "waveheader.h"

#include "core/limits.h"

#include <QStringList>
#include <QtEndian>

namespace WaveHeader {

quint8 ByteAt(const QByteArray &header, int offset)
{
    return offset >= 0 && offset < header.size() ? quint8(header.at(offset)) : 0;
}

quint32 DataLength(const QByteArray &header)
{
    quint32 length = 0;
    for (int i = 3; i >= 0; --i)
        length = (length << 8) | ByteAt(header, DataLengthOffset + i);
    return length;
}

qint32 SlotSize(quint32 dataLength)
{
    constexpr quint32 Unit = Limits::SlotUnit;
    return qint32(dataLength / Unit * Unit) + Limits::SlotUnit;
}

QByteArray Canonical(quint32 dataLength)
{
    constexpr quint32 SampleRate = Limits::SampleRate;
    constexpr quint16 BlockAlign = Limits::BytesPerFrame;
    QByteArray header(Size, '\0');
    char *p = header.data();
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(Size - 8 + dataLength, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + AudioFormatOffset);
    qToLittleEndian<quint16>(Limits::Channels, p + ChannelsOffset);
    qToLittleEndian<quint32>(SampleRate, p + SampleRateOffset);
    qToLittleEndian<quint32>(SampleRate * BlockAlign, p + 28);
    qToLittleEndian<quint16>(BlockAlign, p + 32);
    qToLittleEndian<quint16>(Limits::BitsPerSample, p + BitsPerSampleOffset);
    memcpy(p + DataTagOffset, "data", 4);
    qToLittleEndian<quint32>(dataLength, p + DataLengthOffset);
    return header;
}

namespace {

// Only the rate's two low bytes are looked at.
bool hasLayerRate(const QByteArray &header)
{
    return ByteAt(header, SampleRateOffset) == quint8(Limits::SampleRate) &&
           ByteAt(header, SampleRateOffset + 1) == quint8(Limits::SampleRate >> 8);
}

} // namespace

Problem Check(const QByteArray &header)
{
    static const char DataTag[] = {'d', 'a', 't', 'a'};
    for (int i = 0; i < 4; ++i) {
        if (ByteAt(header, DataTagOffset + i) != quint8(DataTag[i]))
            return Problem::NoDataTag;
    }
    // One unsigned test for both bounds: lengths of 2^31 and more fail too.
    if (DataLength(header) - Limits::MinDataLength > Limits::MaxDataLength - Limits::MinDataLength)
        return Problem::DataLengthOutOfRange;
    if (ByteAt(header, AudioFormatOffset) != 1 ||
        ByteAt(header, ChannelsOffset) != Limits::Channels ||
        ByteAt(header, BitsPerSampleOffset) != Limits::BitsPerSample || !hasLayerRate(header))
        return Problem::UnsupportedFormat;
    return Problem::None;
}

namespace {

quint16 le16At(const QByteArray &header, int offset)
{
    return quint16(ByteAt(header, offset) | ByteAt(header, offset + 1) << 8);
}

quint32 le32At(const QByteArray &header, int offset)
{
    return quint32(le16At(header, offset)) | quint32(le16At(header, offset + 2)) << 16;
}

QString hexBytes(const QByteArray &header, int offset, int count)
{
    QStringList bytes;
    for (int i = 0; i < count; ++i)
        bytes << QStringLiteral("%1").arg(ByteAt(header, offset + i), 2, 16, QLatin1Char('0'));
    return bytes.join(QLatin1Char(' ')).toUpper();
}

// The four bytes at `offset` as text when they are all printable ASCII, as a
// chunk tag is; empty otherwise.
QString tagAt(const QByteArray &header, int offset)
{
    QString tag;
    for (int i = 0; i < 4; ++i) {
        const quint8 byte = ByteAt(header, offset + i);
        if (offset + i >= header.size() || byte < 0x20 || byte > 0x7E)
            return QString();
        tag += QLatin1Char(char(byte));
    }
    return tag;
}

QString describeMissingDataTag(const QByteArray &header)
{
    if (header.size() < DataTagOffset + 4) {
        return QStringLiteral("the file has only %1 bytes, shorter than the %2-byte WAV header")
            .arg(header.size())
            .arg(Size);
    }
    if (tagAt(header, 0) != QLatin1String("RIFF") || tagAt(header, 8) != QLatin1String("WAVE"))
        return QStringLiteral("not a RIFF WAVE file (it starts with %1)")
            .arg(hexBytes(header, 0, 4));
    const QString tag = tagAt(header, DataTagOffset);
    QString reason = tag.isEmpty()
                         ? QStringLiteral("bytes 36 to 39 hold %1, not the data chunk tag")
                               .arg(hexBytes(header, DataTagOffset, 4))
                         : QStringLiteral("a %1 chunk stands where the data chunk must start")
                               .arg(tag.trimmed());
    const quint32 formatChunkSize = le32At(header, 16);
    if (tagAt(header, 12) == QLatin1String("fmt ") && formatChunkSize != 16)
        reason += QStringLiteral(" (the format chunk holds %1 bytes, not 16)").arg(formatChunkSize);
    return reason;
}

QString describeFormat(const QByteArray &header)
{
    QStringList reasons;
    if (ByteAt(header, AudioFormatOffset) != 1) {
        reasons << QStringLiteral("audio format %1, needs 1 (PCM)")
                       .arg(le16At(header, AudioFormatOffset));
    }
    if (ByteAt(header, ChannelsOffset) != Limits::Channels)
        reasons
            << QStringLiteral("%1 channels, needs 1 (mono)").arg(le16At(header, ChannelsOffset));
    if (!hasLayerRate(header)) {
        reasons << QStringLiteral("sample rate %1 Hz, needs %2 Hz")
                       .arg(le32At(header, SampleRateOffset))
                       .arg(Limits::SampleRate);
    }
    if (ByteAt(header, BitsPerSampleOffset) != Limits::BitsPerSample) {
        reasons << QStringLiteral("%1 bits per sample, needs %2")
                       .arg(le16At(header, BitsPerSampleOffset))
                       .arg(Limits::BitsPerSample);
    }
    return reasons.join(QLatin1String("; "));
}

} // namespace

QString Describe(const QByteArray &header)
{
    switch (Check(header)) {
    case Problem::None:
        return QString();
    case Problem::NoDataTag:
        return describeMissingDataTag(header);
    case Problem::DataLengthOutOfRange: {
        QString reason = QStringLiteral("data length %1 bytes, needs %2 to %3")
                             .arg(DataLength(header))
                             .arg(Limits::MinDataLength)
                             .arg(Limits::MaxDataLength);
        if (header.size() < Size)
            reason += QStringLiteral(" (the file ends at byte %1)").arg(header.size());
        return reason;
    }
    case Problem::UnsupportedFormat:
        return describeFormat(header);
    }
    return QString();
}

} // namespace WaveHeader
