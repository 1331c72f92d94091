#include "nametext.h"

#include <QFile>
#include <QStringDecoder>

QString NameFromBytes(QByteArrayView bytes, bool *exact)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    const QString name = decoder(bytes);
    if (exact)
        *exact = !decoder.hasError() && QFile::encodeName(name) == bytes;
    return name;
}

QStringList ArgumentNames(int argc, char *argv[])
{
    QStringList names;
    for (int i = 0; i < argc; ++i)
        names << NameFromBytes(QByteArrayView(argv[i]));
    return names;
}
