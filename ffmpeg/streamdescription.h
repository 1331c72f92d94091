#ifndef STREAMDESCRIPTION_H
#define STREAMDESCRIPTION_H

#include "audio/speakers.h"

#include <QString>

struct AVChannelLayout;
struct AVCodecContext;
struct AVFormatContext;
struct AVStream;

// What the audio stream `stream` of `container` is called in messages: its
// codec ("AAC", "ALAC", "WMA", "AC-3", "MP3", ...), after the container
// when the file is a video ("MP4 video, AAC").
QString StreamFormatName(const AVFormatContext *container, const AVStream *stream);

// "compressed" for lossy codecs, else the decoded samples' kind
// ("16-bit integer", "24-bit integer", "32-bit float").
QString StreamEncodingName(const AVCodecContext *codec);

// Whether the decoded samples hold more than 16 bits, or are floating point:
// reduced to 16 bits with dither.
bool IsHighResolution(const AVCodecContext *codec);

// Lossless codecs give exactly the samples that the container announces.
bool IsLossless(const AVCodecContext *codec);

// Where the channels of `layout` are meant to be heard; empty when the layout
// does not say.
SpeakerLayout SpeakersOf(const AVChannelLayout &layout);

#endif // STREAMDESCRIPTION_H
