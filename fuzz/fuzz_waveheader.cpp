// Feeds arbitrary bytes to the WAV header check, as the first bytes of a file
// chosen as a layer.
#include "core/limits.h"
#include "wav/waveheader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray header = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                      int(qMin<size_t>(size, 1 << 16)));
    const WaveHeader::Problem problem = WaveHeader::Check(header);
    // Every refusal comes with a reason in words.
    if (problem != WaveHeader::Problem::None && WaveHeader::Describe(header).isEmpty())
        __builtin_trap();
    if (problem == WaveHeader::Problem::None) {
        const qint32 slot = WaveHeader::SlotSize(WaveHeader::DataLength(header));
        // Every accepted header gives a slot the sound file can hold.
        if (slot < Limits::SmallestSlot || slot > Limits::LargestSlot || slot % Limits::SlotUnit)
            __builtin_trap();
    }
    return 0;
}
