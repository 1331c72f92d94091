// Feeds arbitrary bytes to the sound-file parser behind `qmstool inspect`.
// The first 8 bytes are the file length (little-endian, any value); the rest
// are the file's first bytes.
#include "soundfile/soundfileparser.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 8)
        return 0;
    const qint64 fileLength = qFromLittleEndian<qint64>(data);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 8),
                                                     int(qMin<size_t>(size - 8, 1 << 20)));
    const SoundFileInfo info = ParseSoundFile(bytes, fileLength);

    // A file the parser calls valid is laid out exactly: the slots follow the
    // header back to back and end where the file ends.
    if (info.IsValid()) {
        qint64 end = info.HeaderLength;
        for (const SoundFileLayer &layer : info.Layers) {
            if (layer.Offset != end || layer.Size <= 0)
                __builtin_trap();
            end += layer.Size;
        }
        if (end != info.FileLength || info.HeaderLength % 512 != 0)
            __builtin_trap();
    }
    return 0;
}
