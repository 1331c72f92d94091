#ifndef SOUNDFILEPARSER_H
#define SOUNDFILEPARSER_H

#include "core/limits.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One loaded layer as a sound file's header describes it.
struct SoundFileLayer
{
    QString Name;
    int Threshold = 0; // the stored byte
    qint64 Offset = 0; // where its slot starts in the file
    qint64 Size = 0;   // its slot size in bytes
};

// What a sound file's header holds, and every way the file breaks the layout
// the writer produces. The raw fields are those of the fixed part (see
// soundfileformat.h); they stay 0 when the file is too short to hold them.
struct SoundFileInfo
{
    QString FileName;        // the output's name as the name list records it
    qint64 FileLength = 0;   // bytes in the file
    qint64 HeaderLength = 0; // from the name list and the filler rule; 0 if unknown
    int LayerCount = 0;      // non-empty layer names in the name list
    quint32 RandomTag = 0;
    quint8 UpperThresholds[3] = {};
    quint16 BlockCounts[4] = {};
    quint32 DataOffsets[4] = {};
    quint8 Thresholds[Limits::LayerCount] = {};
    quint16 PageCounts[Limits::LayerCount] = {};
    QList<SoundFileLayer> Layers; // layers 1 to LayerCount, in order
    QStringList Problems;         // empty for a file the writer could have written
    QStringList Notes;            // remarks that do not make the file invalid

    bool IsValid() const { return Problems.isEmpty(); }
};

namespace SoundFileParser {
// The most bytes of a file the parser looks at. The longest header the
// writer makes is a few KiB (104 fixed bytes, the file name, eight names of
// at most 240 bytes, the separators and the filler); a name list that does
// not end within this prefix is a problem of the file.
constexpr qint64 MaxHeaderRead = 65536;
} // namespace SoundFileParser

// Parses the start of a sound file: `headerBytes` are its first bytes (any
// beyond SoundFileParser::MaxHeaderRead are ignored), `fileLength` the length
// of the whole file. Checks everything the format fixes: the signature, the
// fixed and reserved bytes, the name list and the filler, block counts, page
// counts and data offsets against one another and against the file length.
// Safe on any input; its work is bounded by MaxHeaderRead.
//
// Slot sizes come from the block counts for layers 1 to 4 and from the page
// counts for 5 to 8. A page count keeps 13 bits, so a slot of 2097152 bytes
// or more loses 2097152 bytes there; when the file is exactly that much
// longer than the sizes say, the file length decides and the first layer
// from 5 on that can take it (leaving every other slot at least the smallest)
// gets it; a note says so when several could.
//
// `endsInZeros`, when given, settles that choice from the file's data: it
// tells whether the two bytes before a file offset are zero, as the writer
// leaves them at the end of every slot. The first layer under which every
// slot ends so gets the bytes; a note says so when more than one does, or
// when none does (the first candidate is kept then).
using SlotEndCheck = std::function<bool(qint64 slotEnd)>;
SoundFileInfo ParseSoundFile(const QByteArray &headerBytes, qint64 fileLength,
                             const SlotEndCheck &endsInZeros = {});

#endif // SOUNDFILEPARSER_H
