#ifndef LIMITS_H
#define LIMITS_H

#include <QtGlobal>

// The limits of a layer and of the sound file. Each is written here once;
// every other bound derives from them.
namespace Limits {

// Layers in a sound file.
constexpr int LayerCount = 8;
// Bytes the slots of all layers may sum to, and the whole sound file may take.
constexpr qint32 Capacity = 3145728;
// The largest slot a layer may take in the sound file.
constexpr qint32 LargestSlot = 3141632;
// A slot is a whole number of these bytes.
constexpr qint32 SlotUnit = 512;
// UTF-16 code units of a layer's file name.
constexpr int NameLength = 80;
// The highest threshold (layer 1's); the last loaded layer's is 1.
constexpr int ThresholdCeiling = 126;

// A layer's samples: 44100 Hz, 16-bit, mono PCM.
constexpr int SampleRate = 44100;
constexpr int BitsPerSample = 16;
constexpr int Channels = 1;
constexpr int BytesPerFrame = BitsPerSample / 8 * Channels;
constexpr int BytesPerSecond = SampleRate * BytesPerFrame;

// The sample bytes a layer's WAV file may hold: at least one slot unit, and
// at most what the largest slot takes (a slot is the length cut down to a
// whole unit, plus one unit).
constexpr quint32 MinDataLength = SlotUnit;
constexpr quint32 MaxDataLength = LargestSlot - 1;
constexpr qint32 SmallestSlot = qint32(MinDataLength) + SlotUnit;
// The fewest and the most samples a layer holds.
constexpr qint64 MinFrames = MinDataLength / BytesPerFrame;
constexpr qint64 MaxFrames = MaxDataLength / BytesPerFrame;

static_assert(LargestSlot % SlotUnit == 0 && LargestSlot <= Capacity);

} // namespace Limits

#endif // LIMITS_H
