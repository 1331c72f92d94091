#ifndef LAYEREXTRACTION_H
#define LAYEREXTRACTION_H

#include <QList>
#include <QString>
#include <QStringList>

class SoundFileReader;

// One layer of a sound file written back as a WAV file.
struct ExtractedLayer
{
    int Layer = 0;        // 1 to 8
    int Threshold = 0;    // as the sound file stores it
    QString StoredName;   // the layer's name in the sound file
    QString Path;         // the WAV file: the chosen folder and a safe name
    bool Existed = false; // a file of exactly these bytes was there and is used as it is
};

// What ExtractLayers() did.
struct LayerExtraction
{
    QList<ExtractedLayer> Layers; // the layers written, layer 1 first
    QList<int> Thresholds;        // of every loaded layer, layer 1 first
    bool EvenSpread = true;       // the thresholds are the spread that adding the layers gives
    QString Error;                // why not every layer was written; empty when all were
    QStringList Notes;            // where adding the layers back does not give the same bytes

    bool Done() const { return Error.isEmpty(); }
};

// The folder the layers of the sound file at `soundFilePath` go to unless
// another is chosen: "<base name>-layers" beside it.
QString DefaultLayerFolder(const QString &soundFilePath);

// The file name for a layer the sound file names `storedName`: slashes and
// control characters (line breaks, NUL, DEL, C1) become '_', ".wav" is added
// when the name does not end so, and the name is cut to the WAV import's 80
// characters. A layer without a name is called "layer<N>.wav".
QString LayerFileName(const QString &storedName, int layer);

// The zero bytes at the end of a slot that stay out of its layer's WAV file:
// a layer's samples are its slot but these.
constexpr int SlotPaddingKept = 2;

// Writes each layer of the sound file `reader` has open and found valid as a
// WAV file in `folder`, which is created when missing (MakeFolder()): the
// canonical 44-byte header (44100 Hz, 16-bit, mono) and the first (slot size
// - 2) bytes of its slot, so that adding the file back gives the same slot
// size. The names
// come from LayerFileName(); a name already taken by a different file, or by
// anything but a regular file, gets "-2", "-3", ... before its ".wav". A file
// that holds exactly the bytes to be written is used as it is. Nothing is
// written outside `folder` and no existing file is replaced. Stops at the
// first layer that cannot be written.
LayerExtraction ExtractLayers(SoundFileReader &reader, const QString &folder);

#endif // LAYEREXTRACTION_H
