#include "analysistask.h"

AnalysisTask::AnalysisTask(AudioConversion &conversion, QObject *parent)
    : QObject(parent), conversion(conversion)
{
    pool.setMaxThreadCount(1);
}

AnalysisTask::~AnalysisTask()
{
    *stopped = true;
    pool.clear();
    pool.waitForDone();
}

void AnalysisTask::Waveform(const QString &path, int columns,
                            std::function<void(const QVector<Column> &)> done)
{
    pool.start([this, path, columns, done = std::move(done), stopped = stopped] {
        const QVector<Column> waveform =
            conversion.Waveform(path, columns, [stopped](double) { return !*stopped; });
        if (!*stopped)
            QMetaObject::invokeMethod(
                this, [done, waveform] { done(waveform); }, Qt::QueuedConnection);
    });
}

void AnalysisTask::Analyse(const QString &path, double silence,
                           std::function<void(const Analysis &)> done)
{
    pool.start([this, path, silence, done = std::move(done), stopped = stopped] {
        const Analysis analysis =
            conversion.Analyse(path, silence, [stopped](double) { return !*stopped; });
        if (!*stopped)
            QMetaObject::invokeMethod(
                this, [done, analysis] { done(analysis); }, Qt::QueuedConnection);
    });
}
