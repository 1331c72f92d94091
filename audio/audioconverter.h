#ifndef AUDIOCONVERTER_H
#define AUDIOCONVERTER_H

#include "audioformat.h"
#include "preparation.h"

#include "wav/inputfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// How a conversion ended.
enum class ConversionResult {
    Converted,
    Unreadable, // not audio that can be decoded
    Empty,      // no samples
    TooLong,    // the copy would not fit a slot
    NotWritten, // the copy could not be written where asked
    // The preparation's choices do not go together, or leave no room for the
    // sound (Preparation::Problem()): nothing was read.
    Unprepared,
    Cancelled, // stopped by the caller's progress function
};

// Follows a conversion and can stop it: called after each block decoded,
// on the converting thread, with the share of the source done so far (0 to
// 1; for a source of unknown length, the share of what a layer holds). The
// conversion stops, writing nothing, when it returns false.
using ConversionProgress = std::function<bool(double share)>;

// What ConvertAudioFile() did.
struct ConversionReport
{
    ConversionResult Result = ConversionResult::Unreadable;
    QString Reason; // why it failed, in plain words
    // What the input is, as its decoder names it; once converted, with the
    // length that was decoded.
    AudioFormat Source;
    qint64 Frames = 0;   // the samples of the copy
    qint64 Clipped = 0;  // samples beyond full scale, clipped
    bool Copied = false; // the input was a layer's format already: samples copied unchanged
    quint32 DataLength = 0;
    qint32 SlotSize = 0;
    // What the copy lacks or had to change, though it was written, e.g.
    // "ends early: 0.50 s of the 1.00 s announced", "2 samples were not
    // numbers".
    QStringList Warnings;
    PreparationReport Prepared; // what preparing the copy did, when asked
};

// Converts the audio file at `input` into a WAV file at `output` that can be
// a layer: 44100 Hz, 16-bit, mono PCM behind the canonical 44-byte header.
// The input is decoded in blocks (see AudioSource), to its end or until it
// is longer than a layer holds; samples that are not numbers become silence,
// infinite ones full scale; the channels are folded into one (see
// ChannelMixer); the rate changed with libsoxr (SOXR_HQ) and the samples
// reduced to 16 bits, with TPDF dither for sources of more than 16 bits or
// of floating point; samples beyond full scale are clipped and counted. A
// source that is 44100 Hz, 16-bit mono PCM already keeps its samples bit for
// bit. A copy shorter than 256 samples is padded with silence to the WAV
// check's 512 bytes. A source that ends before its header says, or whose
// data is damaged on the way, is converted as far as it goes, with a
// warning.
//
// With a `preparation`, the copy is prepared at 44100 Hz, after the rate
// conversion (so that its loudness and true peak are measured on the sound
// the layer will hold) and before the reduction to 16 bits, which then
// dithers whenever the preparation changed sample values. Trimmed or cut to
// fit, the source may be longer than a slot holds; with a fit, decoding stops
// where the copy is cut.
//
// The copy is written through OutputFile: whatever stood at `output` stays
// untouched unless a complete copy takes its place. The input itself, and
// any file in `untouchable`, is never written over, whatever path leads to
// it; without `replaceExisting` no file at all is. Returns true when the copy
// was written.
bool ConvertAudioFile(const QString &input, const QString &output,
                      ConversionReport *report = nullptr,
                      const QList<FileIdentity> &untouchable = {}, bool replaceExisting = true,
                      const Preparation &preparation = {}, const ConversionProgress &progress = {});

#endif // AUDIOCONVERTER_H
