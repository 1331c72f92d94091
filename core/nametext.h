#ifndef NAMETEXT_H
#define NAMETEXT_H

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Names as the system and the sound file hold them are UTF-8 bytes. Qt's own
// decoders (QString::fromUtf8, QFile::decodeName, QCoreApplication::arguments)
// take a leading EF BB BF for a byte-order mark and drop it, so that
// "\uFEFFkick.wav" would become "kick.wav", another file. A name keeps every
// character, U+FEFF first included.

// The name `bytes` spell. `exact`, when given, is set to whether the bytes
// are valid UTF-8 that the name gives back unchanged (QFile::encodeName).
QString NameFromBytes(QByteArrayView bytes, bool *exact = nullptr);

// The program's arguments (argv[0] first), each through NameFromBytes().
QStringList ArgumentNames(int argc, char *argv[]);

#endif // NAMETEXT_H
