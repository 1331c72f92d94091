#ifndef ANALYSISTASK_H
#define ANALYSISTASK_H

#include "audioconversion.h"

#include <QObject>
#include <QThreadPool>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>

// Reads sounds for a dialog off the GUI thread, so that it is drawn and
// answers while they are read: their waveforms and their analyses, one after
// another, in the order asked, each handed to its function on the GUI thread
// once it is there. Destroying the task stops the one being read at its next
// block, drops those not started and waits; nothing is handed on after that.
class AnalysisTask : public QObject
{
public:
    using Analysis = AudioConversion::Analysis;
    using Column = AudioConversion::Column;

    // The conversion plugin must be loaded already (AudioConversion::Loaded()).
    AnalysisTask(AudioConversion &conversion, QObject *parent);
    ~AnalysisTask() override;

    void Waveform(const QString &path, int columns,
                  std::function<void(const QVector<Column> &)> done);
    void Analyse(const QString &path, double silence, std::function<void(const Analysis &)> done);

private:
    AudioConversion &conversion;
    std::shared_ptr<std::atomic<bool>> stopped = std::make_shared<std::atomic<bool>>(false);
    QThreadPool pool;
};

#endif // ANALYSISTASK_H
