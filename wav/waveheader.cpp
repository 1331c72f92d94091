#include "waveheader.h"

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
    return qint32(dataLength & ~quint32(511)) + 512;
}

Problem Check(const QByteArray &header)
{
    static const char DataTag[] = {'d', 'a', 't', 'a'};
    for (int i = 0; i < 4; ++i) {
        if (ByteAt(header, DataTagOffset + i) != quint8(DataTag[i]))
            return Problem::NoDataTag;
    }
    // One unsigned test for both bounds: lengths of 2^31 and more fail too.
    if (DataLength(header) - MinDataLength > MaxDataLength - MinDataLength)
        return Problem::DataLengthOutOfRange;
    if (ByteAt(header, AudioFormatOffset) != 1 || ByteAt(header, ChannelsOffset) != 1 ||
        ByteAt(header, BitsPerSampleOffset) != 16 || ByteAt(header, SampleRateOffset) != 0x44 ||
        ByteAt(header, SampleRateOffset + 1) != 0xAC)
        return Problem::UnsupportedFormat;
    return Problem::None;
}

} // namespace WaveHeader
