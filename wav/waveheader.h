#ifndef WAVEHEADER_H
#define WAVEHEADER_H

#include <QByteArray>
#include <QString>

// The 44-byte canonical header of a WAV file that can become a layer:
// PCM in a layer's sample format (core/limits.h: 44100 Hz, 16-bit, mono),
// the data chunk at byte 36 and the samples from byte 44 on. Only the low bytes listed below are
// examined; bytes the header lacks (a file shorter than 44 bytes) count as zero.
namespace WaveHeader {

constexpr int Size = 44;
constexpr int AudioFormatOffset = 20;
constexpr int ChannelsOffset = 22;
constexpr int SampleRateOffset = 24;
constexpr int BitsPerSampleOffset = 34;
constexpr int DataTagOffset = 36;
constexpr int DataLengthOffset = 40;

// What is wrong with a header, in the order the checks run: the data tag
// first, then the data length, then the format.
enum class Problem { None, NoDataTag, DataLengthOutOfRange, UnsupportedFormat };

Problem Check(const QByteArray &header);

// Why Check() refuses `header`, in plain words naming the field that failed
// and what it holds, e.g. "sample rate 48000 Hz, needs 44100 Hz" or
// "a LIST chunk stands where the data chunk must start". Empty when the
// header passes. Safe on any bytes.
QString Describe(const QByteArray &header);

// The header's byte at `offset`, 0 past its end.
quint8 ByteAt(const QByteArray &header, int offset);

// The little-endian 32-bit data length at byte 40 (missing bytes count as 0).
quint32 DataLength(const QByteArray &header);

// The canonical header of a layer's WAV file with `dataLength` sample bytes:
// RIFF/WAVE, a 16-byte format chunk for PCM in a layer's sample format, and
// the data chunk at byte 36.
QByteArray Canonical(quint32 dataLength);

// The bytes a layer of `dataLength` sample bytes occupies in the sound file:
// the length cut down to a whole slot unit (512 bytes), plus one unit.
qint32 SlotSize(quint32 dataLength);

} // namespace WaveHeader

#endif // WAVEHEADER_H
