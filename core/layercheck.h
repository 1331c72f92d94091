#ifndef LAYERCHECK_H
#define LAYERCHECK_H

#include <QString>

// Why a file cannot become the next layer: the WAV check's refusals, in the
// order it runs them, and the capacity's. StatusCode() gives each its
// number, StatusMessageFor() its box (statusmessage.h).
enum class LayerStatus {
    NoFileChosen,         // no path
    CannotOpen,           // not a regular file, unreadable, or a line break in its name
    NoDataChunk,          // no data chunk tag at byte 36
    UnsupportedFormat,    // not 44100 Hz, 16-bit, mono PCM
    DataLengthOutOfRange, // too little or too much sample data for a slot
    NameTooLong,          // a file name longer than a layer's name may be
    NotEnoughSpace,       // the slot does not fit beside the loaded layers
};

// What the check of a file as a layer found: a slot size, or a status with
// its reason.
struct LayerCheck
{
    static LayerCheck Slot(qint32 slotSize, quint32 dataLength);
    static LayerCheck Refused(LayerStatus status, const QString &reason);

    bool Accepted() const { return SlotSize > 0; }
    // The slot size, or the status's numeric code (-1 to -7).
    qint32 Result() const;

    qint32 SlotSize = 0;
    LayerStatus Status = LayerStatus::NoFileChosen; // when refused
    QString Reason;                                 // why it was refused, in plain words
    quint32 DataLength = 0;                         // the sample bytes of an accepted file
};

#endif // LAYERCHECK_H
