#ifndef AUDIOCONVERTER_H
#define AUDIOCONVERTER_H

#include "audioformat.h"

#include "wav/inputfile.h"

#include <QList>
#include <QString>

// How a conversion ended.
enum class ConversionResult {
    Converted,
    Unreadable, // not audio that can be decoded, or decoding failed on the way
    Empty,      // no samples
    TooLong,    // the copy would not fit a slot
    NotWritten, // the copy could not be written where asked
};

// What ConvertAudioFile() did.
struct ConversionReport
{
    ConversionResult Result = ConversionResult::Unreadable;
    QString Reason;      // why it failed, in plain words
    AudioFormat Source;  // what the input is, as far as it was read
    qint64 Frames = 0;   // the samples of the copy
    qint64 Clipped = 0;  // samples beyond full scale, clipped
    bool Copied = false; // the input was a layer's format already: samples copied unchanged
    quint32 DataLength = 0;
    qint32 SlotSize = 0;
};

// Converts the audio file at `input` into a WAV file at `output` that can be
// a layer: 44100 Hz, 16-bit, mono PCM behind the canonical 44-byte header.
// The input is decoded in blocks; the channels are averaged into one, the
// rate changed with libsoxr (SOXR_HQ) and the samples reduced to 16 bits,
// with TPDF dither for sources of more than 16 bits or of floating point;
// samples beyond full scale are clipped and counted. A source that is 44100
// Hz, 16-bit mono PCM already keeps its samples bit for bit. A copy shorter
// than 256 samples is padded with silence to the WAV check's 512 bytes.
//
// The copy is written through OutputFile: whatever stood at `output` stays
// untouched unless a complete copy takes its place. The input itself, and
// any file in `untouchable`, is never written over, whatever path leads to
// it. Returns true when the copy was written.
bool ConvertAudioFile(const QString &input, const QString &output,
                      ConversionReport *report = nullptr,
                      const QList<FileIdentity> &untouchable = {});

#endif // AUDIOCONVERTER_H
