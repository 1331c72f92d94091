#ifndef CONVERSIONOFFER_H
#define CONVERSIONOFFER_H

#include "audioformat.h"

#include <QString>

struct LayerCheck;

// Whether a file that the WAV check refused can be converted into a layer,
// and the reason to show for the refusal.
struct ConversionOffer
{
    bool Possible = false;
    // The check's reason, or what the file really is when it can be
    // decoded, e.g. "WAV (extensible), 48000 Hz, 2 channels, 24-bit
    // integer, 2.50 s; a layer must be 44100 Hz, 1 channel, 16-bit".
    QString Reason;
    AudioFormat Format; // when the file can be decoded
};

// Looks at the file at `path` that `check` refused. A refusal for the
// file's format (NoDataChunk, UnsupportedFormat), or for its data length
// when it is not in a layer's format anyway, is offered a conversion when the file can be decoded,
// holds samples and its copy would fit a slot. Other refusals are kept as
// they are.
ConversionOffer OfferConversion(const QString &path, const LayerCheck &check);

// The name of a converted copy of `source`: "<base name>.wav", or "<base
// name> (44100 Hz mono).wav" `besideSource` (where the first would be the
// source itself). It is never longer than a layer's name may be: a longer base
// name is cut and gets a mark made from the whole of it ("-3f9a2c"), so that
// sources whose names differ only beyond the cut still get names of their own.
QString ConvertedCopyName(const QString &source, bool besideSource = false);

// Where a converted copy of `source` goes in `folder`: ConvertedCopyName(),
// besideSource when the plain name there would be the source itself.
QString ConvertedCopyPath(const QString &source, const QString &folder);

// Where the prepared copy of `source` goes: "<base name> (prepared).wav"
// beside it, shortened as ConvertedCopyName() shortens.
QString PreparedCopyPath(const QString &source);

#endif // CONVERSIONOFFER_H
