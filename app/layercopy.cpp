#include "layercopy.h"

#include "conversiontask.h"
#include "messagebox.h"

#include "core/addlayer.h"
#include "core/cleanupregistry.h"
#include "core/layertable.h"
#include "wav/inputfile.h"
#include "wav/wavefilereader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("QMWindow", text);
}

// True when `a` and `b` are the same file, by whatever paths.
bool SameFile(const QString &a, const QString &b)
{
    FileIdentity first;
    FileIdentity second;
    return IdentityOf(a, first) && IdentityOf(b, second) && first == second;
}

} // namespace

LayerCopy::LayerCopy(AudioConversion &conversion, QWidget *parent, const QString &source,
                     const QString &copy, const StatusMessage &failed)
    : conversion(conversion), parent(parent), source(source), copy(copy), failed(failed)
{}

bool LayerCopy::nameRefused()
{
    const QString notWritten = tr("%1 was not written: %2");
    const QString name = LayerNameOf(copy);
    if (name.size() > Limits::NameLength) {
        ShowMessageBox(parent, StatusMessageFor(LayerStatus::NameTooLong),
                       RefusalDetails(copy, tr("the name has %1 characters; a layer's name has at "
                                               "most %2")
                                                .arg(name.size())
                                                .arg(Limits::NameLength)));
        return true;
    }
    if (SameFile(copy, source)) {
        ShowMessageBox(parent, failed, notWritten.arg(copy, tr("it is the file being converted")));
        return true;
    }
    for (int layer = 1; layer <= Layers.LayerCount; ++layer) {
        if (SameFile(copy, Layers.LayerPath[layer - 1])) {
            ShowMessageBox(parent, failed, notWritten.arg(copy, tr("it is layer %1").arg(layer)));
            return true;
        }
    }
    return false;
}

bool LayerCopy::Write(const QString &title, const QString &text, const Make &make, qint32 freed)
{
    if (nameRefused())
        return false;
    const QString notWritten = tr("%1 was not written: %2");
    if (!conversion.Loaded()) {
        ShowMessageBox(parent, failed, make(copy, {}).Reason);
        return false;
    }
    const QString pending = QFileInfo(copy).absolutePath() + QStringLiteral("/.") +
                            QString::fromLatin1(TemporarySuffix()) +
                            QStringLiteral(".converting.wav");
    int registered =
        CleanupRegistry::Register(QFile::encodeName(pending), CleanupRegistry::Kind::File);
    outcome = ConversionTask(conversion, parent)
                  .Run(title, text, [&](const AudioConversion::Progress &progress) {
                      return make(pending, progress);
                  });
    const auto discard = [&] {
        QFile::remove(pending);
        CleanupRegistry::Unregister(registered);
    };
    if (outcome.Cancelled) {
        discard();
        return false;
    }
    if (!outcome.Converted) {
        discard();
        ShowMessageBox(parent, failed,
                       outcome.CopyNotWritten ? notWritten.arg(copy, outcome.Reason)
                                              : RefusalDetails(source, outcome.Reason));
        return false;
    }
    const LayerCheck check = CheckWaveFile(pending);
    const qint32 used = Layers.UsedSpace - freed;
    if (!check.Accepted() || !FitsCapacity(used, check.SlotSize)) {
        discard();
        const bool refused = !check.Accepted();
        ShowMessageBox(
            parent, StatusMessageFor(refused ? check.Status : LayerStatus::NotEnoughSpace),
            RefusalDetails(copy,
                           refused ? check.Reason : DescribeCapacityRefusal(used, check.SlotSize)));
        return false;
    }
    if (std::rename(QFile::encodeName(pending).constData(), QFile::encodeName(copy).constData()) !=
        0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        discard();
        ShowMessageBox(parent, failed, notWritten.arg(copy, reason));
        return false;
    }
    CleanupRegistry::Unregister(registered);
    return true;
}

QStringList LayerCopy::Notes() const
{
    QStringList notes = outcome.Warnings;
    if (outcome.Clipped == 1)
        notes << tr("1 sample was beyond full scale and was clipped");
    else if (outcome.Clipped > 1)
        notes << tr("%1 samples were beyond full scale and were clipped").arg(outcome.Clipped);
    return notes;
}
