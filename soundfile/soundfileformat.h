#ifndef SOUNDFILEFORMAT_H
#define SOUNDFILEFORMAT_H

#include <QByteArray>
#include <QString>

struct SoundJob;

// Layout of a .qms sound file. All integers are little-endian.
//
//   offset  size  field
//        0    32  signature text
//       32     4  random tag
//       36     9  fixed bytes
//       45     3  upper thresholds: T1..T3 with four or more layers, else 120 90 70
//       48     8  block counts of layers 1-4: slot / 512, 16 bits each
//       56    16  data offsets of layers 1-4, 32 bits each
//       72     8  thresholds of layers 1-8, low 7 bits, one byte each
//       80    16  page counts of layers 1-8: (slot / 256) & 0x1fff, 16 bits each
//       96     8  reserved, zero
//      104     -  name list: '\n', file name, '\n', then each layer name + '\n'
//                 (UTF-8), then '~' filler up to the next multiple of 512
//                 (a whole 512 bytes when the list already ends on one)
//
// Entries 1-3 of the block counts and data offsets repeat the previous entry
// for empty layers. The data area follows the header: each loaded layer's
// samples, padded with zeros to its slot size, in layer order.
namespace SoundFileFormat {

inline constexpr char Signature[] = "Quelmar(tm) inc, California, USA";
constexpr int SignatureSize = 32;
static_assert(sizeof(Signature) - 1 == SignatureSize);
inline constexpr quint8 FixedBytes[9] = {0x04, 0x01, 0x01, 0x0A, 0x12, 0x34, 0x56, 0x78, 0x91};
inline constexpr quint8 DefaultUpperThresholds[3] = {120, 90, 70};
constexpr char NameSeparator = '\n';
constexpr char FillerByte = '~';
constexpr int HeaderUnit = 512;
constexpr int OffsetLayers = 4; // layers with a block count and a data offset
constexpr quint32 CountMask = 0x1FFF;
constexpr quint8 ThresholdMask = 0x7F;

constexpr int RandomTagOffset = 32;
constexpr int FixedBytesOffset = 36;
constexpr int UpperThresholdsOffset = 45;
constexpr int BlockCountsOffset = 48;
constexpr int DataOffsetsOffset = 56;
constexpr int ThresholdsOffset = 72;
constexpr int PageCountsOffset = 80;
constexpr int ReservedOffset = 96;
constexpr int NameListOffset = 104;

// The complete header for `job`, filler and data offsets included.
QByteArray BuildHeader(const SoundJob &job, quint32 randomTag);

// The length of the file `job` makes with a header of `headerLength` bytes.
qint64 FileLength(const SoundJob &job, qint64 headerLength);

// The bytes the slot of one more layer called `name` may take in the file
// `job` makes: the capacity less the header, grown by that name, and the
// slots of the layers loaded. Negative when not even the header fits.
qint64 SpaceForLayer(const SoundJob &job, const QString &name);

// A random tag drawn from a generator seeded with `seconds`: the product of
// two draws in 0..32767.
quint32 RandomTag(qint64 seconds);

} // namespace SoundFileFormat

#endif // SOUNDFILEFORMAT_H
