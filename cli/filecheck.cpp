#include "filecheck.h"

#include "audioreport.h"
#include "waverefusal.h"

#include "audio/conversionoffer.h"
#include "core/duration.h"
#include "core/statusmessage.h"
#include "wav/inputfile.h"
#include "wav/wavefilereader.h"

FileCheck CheckFile(const QString &path)
{
    FileCheck file;
    file.Path = path;
    file.Check = CheckWaveFile(path);
    if (file.Check.Accepted()) {
        file.Format.Container = QStringLiteral("WAV");
        file.Format.Encoding = QStringLiteral("16-bit integer");
        file.Format.SampleRate = Limits::SampleRate;
        file.Format.Channels = Limits::Channels;
        file.Format.Frames = file.Check.DataLength / Limits::BytesPerFrame;
        file.Format.Pcm16 = true;
        file.FormatKnown = true;
        return file;
    }
    const ConversionOffer offer = OfferConversion(path, file.Check);
    file.Check.Reason = offer.Reason;
    file.Format = offer.Format;
    file.FormatKnown = offer.Format.SampleRate > 0;
    file.Convertible = offer.Possible;
    return file;
}

QString FileCheckText(const FileCheck &check)
{
    if (!check.Check.Accepted())
        return DescribeWaveRefusal(check.Check);
    return QStringLiteral("%1, slot %2 bytes")
        .arg(SecondsText(SecondsOfBytes(check.Check.DataLength)))
        .arg(check.Check.SlotSize);
}

QJsonObject FileCheckJson(const FileCheck &check)
{
    QJsonObject json{
        {QStringLiteral("file"), check.Path},
        {QStringLiteral("status"), check.Check.Accepted() ? 0 : StatusCode(check.Check.Status)}};
    if (check.Check.Accepted()) {
        json.insert(QStringLiteral("slot_size"), check.Check.SlotSize);
    } else {
        json.insert(QStringLiteral("message"),
                    QLatin1String(StatusMessageFor(check.Check.Status).text));
        json.insert(QStringLiteral("reason"), check.Check.Reason);
    }
    if (!check.Check.Accepted())
        json.insert(QStringLiteral("convertible"), check.Convertible);
    if (check.FormatKnown) {
        json.insert(QStringLiteral("format"), FormatJson(check.Format));
        json.insert(QStringLiteral("seconds"), check.Format.Seconds());
    }
    return json;
}

bool IsWaveFile(const QString &path)
{
    InputFile file;
    QByteArray start;
    return file.Open(path) && file.ReadAt(0, 12, start) && start.size() == 12 &&
           start.startsWith("RIFF") && start.mid(8) == "WAVE";
}
