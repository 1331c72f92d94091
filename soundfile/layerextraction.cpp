#include "layerextraction.h"

#include "outputfile.h"
#include "sharedfolderrule.h"
#include "soundfileformat.h"
#include "soundfilereader.h"
#include "soundjob.h"

#include "core/debuglines.h"
#include "core/layertable.h"
#include "core/thresholdrules.h"
#include "wav/inputfile.h"
#include "wav/waveheader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

const QString WaveSuffix = QStringLiteral(".wav");
constexpr int MaxNameAttempts = 1000;

// `name` (ending in a four-character suffix) with "-<attempt>" before the
// suffix from the second attempt on, within the WAV import's length.
QString numberedName(const QString &name, int attempt)
{
    if (attempt == 1)
        return name;
    const QString suffix = name.right(WaveSuffix.size());
    const QString number = QStringLiteral("-%1").arg(attempt);
    const QString stem = name.left(name.size() - suffix.size());
    return CutName(stem, Limits::NameLength - suffix.size() - number.size()) + number + suffix;
}

// True when the regular file at `path` holds exactly `bytes`.
bool holdsExactly(const QString &path, const QByteArray &bytes)
{
    InputFile file;
    QByteArray stored;
    return file.Open(path) && file.Size() == bytes.size() && file.ReadAt(0, bytes.size(), stored) &&
           stored == bytes;
}

class Extractor
{
public:
    Extractor(SoundFileReader &reader, const QString &folder, LayerExtraction &result)
        : reader(reader), info(reader.Info()), folder(folder), result(result)
    {}

    void run()
    {
        readThresholds();
        if (!info.IsValid()) {
            result.Error = info.Problems.join(QLatin1String("; "));
            return;
        }
        if (!makeFolder())
            return;
        for (int k = 0; k < info.Layers.size(); ++k) {
            if (!extract(k))
                return;
        }
        result.Notes = info.Notes + result.Notes;
    }

private:
    void readThresholds()
    {
        const int n = int(info.Layers.size());
        for (const SoundFileLayer &layer : info.Layers)
            result.Thresholds << layer.Threshold;
        // What adding the layers back and setting these thresholds leaves.
        LayerThresholds rebuilt;
        DistributeThresholds(rebuilt, n);
        for (int layer = 1; layer <= n; ++layer)
            result.EvenSpread =
                result.EvenSpread && rebuilt[layer] == result.Thresholds.at(layer - 1);
        ApplyThresholds(rebuilt, n, result.Thresholds);
        QStringList stored;
        QStringList again;
        for (int layer = n + 1; layer <= Limits::LayerCount; ++layer) {
            stored << QString::number(info.Thresholds[layer - 1]);
            again << QString::number(rebuilt[layer] & SoundFileFormat::ThresholdMask);
        }
        if (stored != again) {
            result.Notes << QStringLiteral("the thresholds of the empty layers are stored as %1; "
                                           "with the layers added back they are %2")
                                .arg(stored.join(QLatin1Char(' ')), again.join(QLatin1Char(' ')));
        }
    }

    bool makeFolder() { return MakeFolder(folder, result.Error); }

    bool extract(int k)
    {
        const SoundFileLayer &layer = info.Layers.at(k);
        QByteArray slot;
        if (!reader.ReadSlot(k, slot)) {
            result.Error =
                QStringLiteral("layer %1 cannot be read: %2").arg(k + 1).arg(reader.ErrorString());
            return false;
        }
        const qint64 dataLength = slot.size() - SlotPaddingKept;
        if (slot.right(SlotPaddingKept) != QByteArray(SlotPaddingKept, '\0')) {
            result.Notes << QStringLiteral("the slot of layer %1 does not end in two zero bytes; "
                                           "added back, it does")
                                .arg(k + 1);
        }
        const QByteArray wave = WaveHeader::Canonical(quint32(dataLength)) + slot.left(dataLength);

        ExtractedLayer extracted{k + 1, layer.Threshold, layer.Name, QString(), false};
        const QString name = LayerFileName(layer.Name, k + 1);
        Placed placed = Placed::Taken;
        for (int attempt = 1; attempt <= MaxNameAttempts && placed == Placed::Taken; ++attempt) {
            extracted.Path = QDir(folder).filePath(numberedName(name, attempt));
            placed = place(extracted.Path, wave);
        }
        if (placed == Placed::Failed)
            return false;
        if (placed == Placed::Taken) {
            result.Error = QStringLiteral("no free name for layer %1 in %2").arg(k + 1).arg(folder);
            return false;
        }
        extracted.Existed = placed == Placed::AlreadyThere;
        const QString fileName = QFileInfo(extracted.Path).fileName();
        if (fileName != layer.Name) {
            result.Notes << QStringLiteral("layer %1 is named \"%2\" in the sound file; added "
                                           "back, it takes its WAV file's name %3")
                                .arg(k + 1)
                                .arg(layer.Name, fileName);
        }
        qCDebug(DebugLines) << "Layer" << k + 1 << "extracted to" << extracted.Path;
        result.Layers << extracted;
        return true;
    }

    enum class Placed { Written, AlreadyThere, Taken, Failed };

    // Writes `bytes` to a new file at `path`, never through a symbolic link
    // and never over anything that is there.
    Placed place(const QString &path, const QByteArray &bytes)
    {
        struct stat status;
        if (::lstat(QFile::encodeName(path).constData(), &status) == 0) {
            if (S_ISREG(status.st_mode) && holdsExactly(path, bytes))
                return Placed::AlreadyThere;
            return Placed::Taken;
        }
        if (errno != ENOENT)
            return failed(path, SystemError(errno));
        OutputFile output(path, OutputFile::Existing::Keep);
        if (!output.Open())
            return failed(path, output.ErrorString());
        // A link that appeared since the look above is not followed.
        if (output.TargetPath() != path)
            return Placed::Taken;
        if (output.Write(bytes) && output.Commit())
            return Placed::Written;
        if (::lstat(QFile::encodeName(path).constData(), &status) == 0)
            return Placed::Taken; // another file took the name meanwhile
        return failed(path, output.ErrorString());
    }

    Placed failed(const QString &path, const QString &reason)
    {
        result.Error = QStringLiteral("%1 cannot be written: %2").arg(path, reason);
        return Placed::Failed;
    }

    SoundFileReader &reader;
    const SoundFileInfo &info;
    const QString folder;
    LayerExtraction &result;
};

} // namespace

QString DefaultLayerFolder(const QString &soundFilePath)
{
    const QFileInfo file(soundFilePath);
    const QString base =
        file.completeBaseName().isEmpty() ? file.fileName() : file.completeBaseName();
    // Beside the file, written the way its path was.
    const int slash = int(soundFilePath.lastIndexOf(QLatin1Char('/')));
    return soundFilePath.left(slash + 1) + base + QStringLiteral("-layers");
}

QString LayerFileName(const QString &storedName, int layer)
{
    QString name;
    for (const QChar c : storedName) {
        const bool control = c.category() == QChar::Other_Control; // C0, DEL, C1
        name += control || c == QLatin1Char('/') ? QLatin1Char('_') : c;
    }
    if (name.isEmpty())
        name = QStringLiteral("layer%1").arg(layer);
    if (name.endsWith(WaveSuffix, Qt::CaseInsensitive)) {
        const QString suffix = name.right(WaveSuffix.size());
        if (name.size() > Limits::NameLength)
            name =
                CutName(name.chopped(suffix.size()), Limits::NameLength - suffix.size()) + suffix;
        return name;
    }
    return CutName(name, Limits::NameLength - WaveSuffix.size()) + WaveSuffix;
}

LayerExtraction ExtractLayers(SoundFileReader &reader, const QString &folder)
{
    LayerExtraction result;
    Extractor(reader, folder, result).run();
    return result;
}
