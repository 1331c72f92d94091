#include "thresholdlist.h"

#include "core/thresholdrules.h"

#include <QStringList>

namespace {

QString whyOutOfOrder(const QList<int> &thresholds)
{
    if (thresholds.first() > Limits::ThresholdCeiling) {
        return QStringLiteral("the first threshold is %1, at most %2")
            .arg(thresholds.first())
            .arg(Limits::ThresholdCeiling);
    }
    for (int k = 1; k < thresholds.size(); ++k) {
        if (thresholds.at(k) >= thresholds.at(k - 1)) {
            return QStringLiteral("threshold %1 (%2) is not below threshold %3 (%4); they must "
                                  "fall strictly from layer 1 on")
                .arg(k + 1)
                .arg(thresholds.at(k))
                .arg(k)
                .arg(thresholds.at(k - 1));
        }
    }
    return QStringLiteral("the last threshold is %1, it must be 1").arg(thresholds.last());
}

} // namespace

bool ParseThresholdList(const QString &text, int layerCount, QList<int> &thresholds, QString &error)
{
    thresholds.clear();
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString &part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok, 10);
        if (!ok) {
            error = QStringLiteral("threshold \"%1\" is not a whole number").arg(part);
            return false;
        }
        thresholds << value;
    }
    if (thresholds.size() != layerCount) {
        error = QStringLiteral("%1 thresholds given for %2 layers; give one per layer")
                    .arg(thresholds.size())
                    .arg(layerCount);
        return false;
    }
    LayerThresholds table = {};
    for (int k = 0; k < layerCount; ++k)
        table[k + 1] = thresholds.at(k);
    if (!ThresholdsInOrder(table, layerCount)) {
        error = whyOutOfOrder(thresholds);
        return false;
    }
    return true;
}
