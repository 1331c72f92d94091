#ifndef SOUNDFILEREADER_H
#define SOUNDFILEREADER_H

#include "soundfileparser.h"
#include "wav/inputfile.h"

#include <QByteArray>
#include <QString>

// A sound file opened to read its layers back. The header goes through the
// parser; where the page counts leave a slot size open, the slots' last two
// bytes settle it (the writer pads every slot with zeros). The slots are read
// from the same descriptor as the header, so a file swapped in between is
// never mixed in.
class SoundFileReader
{
public:
    // Opens and parses the sound file at `path`. False when it cannot be read
    // (CannotRead() then) or is not valid: Info().Problems says why.
    bool Open(const QString &path);

    const SoundFileInfo &Info() const { return info; }
    bool CannotRead() const { return cannotRead; }

    // Reads the whole slot of layer `index` (0 for layer 1) into `bytes`.
    // False on a read error or a file that has become shorter (ErrorString()).
    bool ReadSlot(int index, QByteArray &bytes);
    QString ErrorString() const { return error; }

private:
    bool slotEndsInZeros(qint64 slotEnd);

    InputFile file;
    SoundFileInfo info;
    bool cannotRead = false;
    QString error;
};

// What the header of the sound file at `path` holds, through
// SoundFileReader: at most SoundFileParser::MaxHeaderRead bytes of it
// parsed, and the slots' last bytes where the page counts leave a size open.
// A file that cannot be opened or read, or that is not a regular file, gives
// a problem that names it.
SoundFileInfo ReadSoundFileInfo(const QString &path);

#endif // SOUNDFILEREADER_H
