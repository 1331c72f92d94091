#include "headerlength.h"

#include "wav/inputfile.h"

#include <QtEndian>

namespace {

// Chunks looked at before giving up on finding the one that says.
constexpr int MaxChunks = 64;

quint32 number(const QByteArray &bytes, int offset, bool bigEndian)
{
    const char *at = bytes.constData() + offset;
    return bigEndian ? qFromBigEndian<quint32>(at) : qFromLittleEndian<quint32>(at);
}

quint16 shortNumber(const QByteArray &bytes, int offset, bool bigEndian)
{
    const char *at = bytes.constData() + offset;
    return bigEndian ? qFromBigEndian<quint16>(at) : qFromLittleEndian<quint16>(at);
}

// The body of the first chunk `id` after the 12-byte file header: its
// offset and length; false when there is none.
bool findChunk(InputFile &file, const char *id, bool bigEndian, qint64 &offset, quint32 &length)
{
    offset = 12;
    QByteArray header;
    for (int i = 0; i < MaxChunks && file.ReadAt(offset, 8, header) && header.size() == 8; ++i) {
        length = number(header, 4, bigEndian);
        offset += 8;
        if (header.startsWith(id))
            return true;
        offset += qint64(length) + (length & 1);
    }
    return false;
}

} // namespace

qint64 HeaderFrames(InputFile &file, bool uncompressed)
{
    QByteArray start;
    if (!file.ReadAt(0, 12, start) || start.size() < 12)
        return -1;
    const QByteArray form = start.mid(8, 4);
    qint64 offset = 0;
    quint32 length = 0;
    if ((start.startsWith("RIFF") || start.startsWith("RIFX")) && form == "WAVE") {
        const bool bigEndian = start.startsWith("RIFX");
        QByteArray format;
        if (!uncompressed || !findChunk(file, "fmt ", bigEndian, offset, length) || length < 14 ||
            !file.ReadAt(offset, 14, format) || format.size() < 14)
            return -1;
        const quint16 blockAlign = shortNumber(format, 12, bigEndian);
        if (blockAlign == 0 || !findChunk(file, "data", bigEndian, offset, length))
            return -1;
        return length == 0 || length == 0xFFFFFFFFu ? -1 : qint64(length / blockAlign);
    }
    if (start.startsWith("FORM") && (form == "AIFF" || form == "AIFC")) {
        QByteArray common;
        if (!findChunk(file, "COMM", true, offset, length) || length < 6 ||
            !file.ReadAt(offset, 6, common) || common.size() < 6)
            return -1;
        return number(common, 2, true);
    }
    return -1;
}
