#include "soundfileparser.h"

#include "soundfileformat.h"

#include "core/nametext.h"
#include "core/thresholdrules.h"

#include <QtEndian>

#include <algorithm>

using namespace SoundFileFormat;

namespace {

constexpr int MaxLayers = Limits::LayerCount;
constexpr qint64 MinSlotSize = Limits::SmallestSlot;
constexpr qint64 MaxSlotSize = Limits::LargestSlot;
constexpr quint32 MaxRandomTag = 32767u * 32767u;
// What a page count loses when its slot has 2097152 bytes or more.
constexpr qint64 PageCountOverflow = qint64(CountMask + 1) * 256;

quint16 le16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 le32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString numbers(const quint8 *values, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::number(values[i]);
    return list.join(QLatin1Char(' '));
}

class Parser
{
public:
    Parser(const QByteArray &bytes, qint64 fileLength, const SlotEndCheck &endsInZeros,
           SoundFileInfo &info)
        : bytes(bytes), endsInZeros(endsInZeros), info(info)
    {
        info.FileLength = qMax<qint64>(fileLength, bytes.size());
    }

    void run()
    {
        if (info.FileLength == 0) {
            problem(QStringLiteral("the file is empty"));
            return;
        }
        // The fixed part and at least the name list's first byte.
        if (bytes.size() <= NameListOffset) {
            problem(QStringLiteral("the file has only %1 bytes, too few for the header (%2 "
                                   "fixed bytes and a name list)")
                        .arg(bytes.size())
                        .arg(NameListOffset));
            return;
        }
        readFixedPart();
        checkFixedBytes();
        if (!readNameList())
            return;
        checkFiller();
        workOutSlots();
        checkBlockAndPageCounts();
        checkDataOffsets();
        checkThresholds();
        checkFileLength();
        listLayers();
    }

private:
    void problem(const QString &text) { info.Problems << text; }

    void readFixedPart()
    {
        info.RandomTag = le32(bytes, RandomTagOffset);
        for (int k = 0; k < 3; ++k)
            info.UpperThresholds[k] = quint8(bytes.at(UpperThresholdsOffset + k));
        for (int k = 0; k < OffsetLayers; ++k) {
            info.BlockCounts[k] = le16(bytes, BlockCountsOffset + 2 * k);
            info.DataOffsets[k] = le32(bytes, DataOffsetsOffset + 4 * k);
        }
        for (int k = 0; k < MaxLayers; ++k) {
            info.Thresholds[k] = quint8(bytes.at(ThresholdsOffset + k));
            info.PageCounts[k] = le16(bytes, PageCountsOffset + 2 * k);
        }
    }

    void checkFixedBytes()
    {
        const QByteArray signature = bytes.left(SignatureSize);
        if (signature != QByteArray(Signature, SignatureSize)) {
            int at = 0;
            while (at < SignatureSize - 1 && signature.at(at) == Signature[at])
                ++at;
            problem(QStringLiteral("the signature differs from \"%1\" at byte %2")
                        .arg(QLatin1String(Signature))
                        .arg(at));
        }
        if (info.RandomTag > MaxRandomTag) {
            problem(QStringLiteral("random tag %1 is above %2, the largest product of two draws")
                        .arg(info.RandomTag)
                        .arg(MaxRandomTag));
        }
        const QByteArray fixed(reinterpret_cast<const char *>(FixedBytes), sizeof FixedBytes);
        const QByteArray stored = bytes.mid(FixedBytesOffset, fixed.size());
        if (stored != fixed) {
            problem(QStringLiteral("the fixed bytes at 36 to 44 read %1, not %2")
                        .arg(hex(stored), hex(fixed)));
        }
        const QByteArray reserved = bytes.mid(ReservedOffset, NameListOffset - ReservedOffset);
        if (reserved.count('\0') != reserved.size())
            problem(QStringLiteral("the reserved bytes 96 to 103 read %1, not zeros")
                        .arg(hex(reserved)));
    }

    // Splits the name list into the file name and the eight layer names and
    // works out the header length. False when the list cannot be read.
    bool readNameList()
    {
        if (bytes.at(NameListOffset) != NameSeparator) {
            problem(QStringLiteral("the name list does not start with a line feed at byte %1")
                        .arg(NameListOffset));
            return false;
        }
        QList<QByteArray> names;
        qsizetype start = NameListOffset + 1;
        while (names.size() < 1 + MaxLayers) {
            const qsizetype end = bytes.indexOf(NameSeparator, start);
            if (end < 0)
                break;
            names << bytes.mid(start, end - start);
            start = end + 1;
        }
        if (names.size() < 1 + MaxLayers) {
            if (bytes.size() < info.FileLength) {
                problem(QStringLiteral("the name list does not end within the first %1 bytes")
                            .arg(bytes.size()));
            } else {
                problem(
                    QStringLiteral("the file ends inside the name list, after %1 of its 9 names")
                        .arg(names.size()));
            }
            return false;
        }
        nameListEnd = start;
        info.HeaderLength = nameListEnd + HeaderUnit - nameListEnd % HeaderUnit;

        info.FileName = decodeName(names.at(0), QStringLiteral("the file name"));
        if (names.at(0).isEmpty())
            problem(QStringLiteral("the file name in the name list is empty"));
        int firstEmpty = 0;
        for (int k = 0; k < MaxLayers; ++k) {
            const QByteArray &name = names.at(1 + k);
            layerNames[k] = decodeName(name, QStringLiteral("the name of layer %1").arg(k + 1));
            if (name.isEmpty()) {
                if (!firstEmpty)
                    firstEmpty = k + 1;
                continue;
            }
            ++info.LayerCount;
            if (firstEmpty) {
                problem(QStringLiteral("layer %1 has a name although layer %2 before it is empty")
                            .arg(k + 1)
                            .arg(firstEmpty));
            }
            if (layerNames[k].size() > Limits::NameLength) {
                problem(QStringLiteral("the name of layer %1 has %2 characters, more than %3")
                            .arg(k + 1)
                            .arg(layerNames[k].size())
                            .arg(Limits::NameLength));
            }
        }
        return true;
    }

    QString decodeName(const QByteArray &utf8, const QString &what)
    {
        bool exact = false;
        const QString name = NameFromBytes(utf8, &exact);
        if (!exact)
            problem(QStringLiteral("%1 is not valid UTF-8").arg(what));
        return name;
    }

    void checkFiller()
    {
        const qint64 end = qMin<qint64>(info.HeaderLength, bytes.size());
        for (qint64 at = nameListEnd; at < end; ++at) {
            if (bytes.at(at) != FillerByte) {
                problem(QStringLiteral("the filler byte at offset %1 is %2, not 7E (\"~\")")
                            .arg(at)
                            .arg(hex(bytes.mid(at, 1))));
                return;
            }
        }
        if (end < info.HeaderLength) {
            problem(
                bytes.size() < info.FileLength
                    ? QStringLiteral("the header runs past the first %1 bytes").arg(bytes.size())
                    : QStringLiteral("the file ends at byte %1, inside the header of %2 bytes")
                          .arg(info.FileLength)
                          .arg(info.HeaderLength));
        }
    }

    // The slot size of every loaded layer: from the block counts for layers
    // 1 to 4, from the page counts for the others.
    void workOutSlots()
    {
        const int n = info.LayerCount;
        qint64 total = info.HeaderLength;
        for (int k = 0; k < n; ++k) {
            slotSizes[k] = k < OffsetLayers ? qint64(info.BlockCounts[k]) * 512
                                            : qint64(info.PageCounts[k]) * 256;
            total += slotSizes[k];
        }
        if (info.FileLength - total == PageCountOverflow)
            creditOverflow();
        for (int k = 0; k < n; ++k) {
            if (slotSizes[k] < MinSlotSize || slotSizes[k] > MaxSlotSize ||
                slotSizes[k] % Limits::SlotUnit) {
                problem(QStringLiteral("layer %1 has a slot of %2 bytes; a slot holds %3 to %4 "
                                       "bytes, a multiple of 512")
                            .arg(k + 1)
                            .arg(slotSizes[k])
                            .arg(MinSlotSize)
                            .arg(MaxSlotSize));
            }
        }
    }

    // The layers from 5 on that can hold the 2097152 bytes a page count lost:
    // their slot stays within the largest, and every other one from 5 on is
    // a slot already. When none leaves the others so, any that can take them.
    QList<int> overflowCandidates() const
    {
        QList<int> fitting;
        QList<int> candidates;
        for (int k = OffsetLayers; k < info.LayerCount; ++k) {
            if (slotSizes[k] + PageCountOverflow > MaxSlotSize)
                continue;
            fitting << k;
            bool othersAreSlots = true;
            for (int j = OffsetLayers; j < info.LayerCount; ++j)
                othersAreSlots = othersAreSlots && (j == k || slotSizes[j] >= MinSlotSize);
            if (othersAreSlots)
                candidates << k;
        }
        return candidates.isEmpty() ? fitting : candidates;
    }

    // True when every slot ends in two zero bytes with layer `k` holding the
    // lost bytes.
    bool slotsEndInZeros(int k) const
    {
        qint64 end = info.HeaderLength;
        for (int j = 0; j < info.LayerCount; ++j) {
            end += slotSizes[j] + (j == k ? PageCountOverflow : 0);
            if (!endsInZeros(end))
                return false;
        }
        return true;
    }

    void creditOverflow()
    {
        const QList<int> candidates = overflowCandidates();
        if (candidates.isEmpty())
            return;
        QList<int> zeroEnded;
        if (endsInZeros && candidates.size() > 1) {
            for (int k : candidates) {
                if (slotsEndInZeros(k))
                    zeroEnded << k;
            }
        }
        const int k = zeroEnded.isEmpty() ? candidates.first() : zeroEnded.first();
        slotSizes[k] += PageCountOverflow;
        if (candidates.size() == 1 || zeroEnded.size() == 1)
            return;
        QString how;
        if (!endsInZeros)
            how = QStringLiteral("taken to be layer %1").arg(k + 1);
        else if (zeroEnded.isEmpty())
            how = QStringLiteral("under none of them does every slot end in two zero bytes; "
                                 "taken to be layer %1")
                      .arg(k + 1);
        else
            how = QStringLiteral("every slot ends in two zero bytes with any of the layers %1; "
                                 "taken to be layer %2")
                      .arg(layerList(zeroEnded))
                      .arg(k + 1);
        info.Notes << QStringLiteral("the file is %1 bytes longer than the page counts say: one "
                                     "of the layers %2 has a slot of 2097152 bytes or more; %3")
                          .arg(PageCountOverflow)
                          .arg(layerList(candidates), how);
    }

    static QString layerList(const QList<int> &indexes)
    {
        QStringList layers;
        for (int k : indexes)
            layers << QString::number(k + 1);
        return layers.join(QLatin1String(", "));
    }

    void checkBlockAndPageCounts()
    {
        const int n = info.LayerCount;
        if (n == 0 && info.BlockCounts[0] != 0) {
            problem(QStringLiteral("the block count of layer 1 is %1 without any layer")
                        .arg(info.BlockCounts[0]));
        }
        for (int k = qMax(n, 1); k < OffsetLayers; ++k) {
            if (info.BlockCounts[k] != info.BlockCounts[k - 1]) {
                problem(QStringLiteral("the block count of empty layer %1 is %2, not %3 as "
                                       "layer %4's")
                            .arg(k + 1)
                            .arg(info.BlockCounts[k])
                            .arg(info.BlockCounts[k - 1])
                            .arg(k));
            }
        }
        for (int k = 0; k < MaxLayers; ++k) {
            quint16 expected = 0;
            if (k < qMin(n, OffsetLayers))
                expected = quint16((slotSizes[k] >> 8) & CountMask);
            else if (k < n)
                continue; // the page count is where this size came from
            if (info.PageCounts[k] != expected) {
                problem(k < n ? QStringLiteral("the page count of layer %1 is %2, its block count "
                                               "gives %3")
                                    .arg(k + 1)
                                    .arg(info.PageCounts[k])
                                    .arg(expected)
                              : QStringLiteral("the page count of empty layer %1 is %2, not 0")
                                    .arg(k + 1)
                                    .arg(info.PageCounts[k]));
            }
        }
    }

    void checkDataOffsets()
    {
        const quint32 first = info.DataOffsets[0];
        if (first % HeaderUnit) {
            problem(QStringLiteral("the header length %1 (data offset of layer 1) is not a "
                                   "multiple of 512")
                        .arg(first));
        }
        if (first != info.HeaderLength) {
            problem(QStringLiteral("the data offset of layer 1 is %1, but the header ends at %2")
                        .arg(first)
                        .arg(info.HeaderLength));
        }
        qint64 expected = info.HeaderLength;
        for (int k = 1; k < OffsetLayers; ++k) {
            if (info.LayerCount > k)
                expected += slotSizes[k - 1];
            if (info.DataOffsets[k] != expected) {
                problem(QStringLiteral("the data offset of layer %1 is %2, expected %3")
                            .arg(k + 1)
                            .arg(info.DataOffsets[k])
                            .arg(expected));
            }
        }
    }

    void checkThresholds()
    {
        const int n = info.LayerCount;
        quint8 upper[3];
        for (int k = 0; k < 3; ++k)
            upper[k] = n > 3 ? info.Thresholds[k] : DefaultUpperThresholds[k];
        if (!std::equal(upper, upper + 3, info.UpperThresholds)) {
            problem(QStringLiteral("the upper thresholds read %1, expected %2")
                        .arg(numbers(info.UpperThresholds, 3), numbers(upper, 3)));
        }
        if (n == 0)
            return;
        LayerThresholds thresholds = {};
        for (int k = 0; k < n; ++k)
            thresholds[k + 1] = info.Thresholds[k];
        if (!ThresholdsInOrder(thresholds, n)) {
            problem(QStringLiteral("the thresholds of layers 1 to %1 (%2) do not fall strictly "
                                   "from at most %3 to 1")
                        .arg(n)
                        .arg(numbers(info.Thresholds, n))
                        .arg(Limits::ThresholdCeiling));
        }
    }

    void checkFileLength()
    {
        qint64 total = info.HeaderLength;
        for (int k = 0; k < info.LayerCount; ++k)
            total += slotSizes[k];
        if (total != info.FileLength) {
            problem(QStringLiteral("the file is %1 bytes long, but its header and slots make %2")
                        .arg(info.FileLength)
                        .arg(total));
        }
        if (info.FileLength > Limits::Capacity) {
            problem(QStringLiteral("the file is %1 bytes long, more than the capacity of %2")
                        .arg(info.FileLength)
                        .arg(Limits::Capacity));
        }
    }

    // Layers 1 to 4 start where the header says; the others follow in order.
    void listLayers()
    {
        qint64 offset = info.HeaderLength;
        for (int k = 0; k < info.LayerCount; ++k) {
            if (k < OffsetLayers)
                offset = info.DataOffsets[k];
            info.Layers << SoundFileLayer{layerNames[k], info.Thresholds[k], offset, slotSizes[k]};
            offset += slotSizes[k];
        }
    }

    const QByteArray &bytes;
    const SlotEndCheck &endsInZeros;
    SoundFileInfo &info;
    qint64 nameListEnd = 0;
    QString layerNames[MaxLayers];
    qint64 slotSizes[MaxLayers] = {};
};

} // namespace

SoundFileInfo ParseSoundFile(const QByteArray &headerBytes, qint64 fileLength,
                             const SlotEndCheck &endsInZeros)
{
    SoundFileInfo info;
    const QByteArray bytes = headerBytes.left(SoundFileParser::MaxHeaderRead);
    Parser(bytes, fileLength, endsInZeros, info).run();
    return info;
}
