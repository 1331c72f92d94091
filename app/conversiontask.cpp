#include "conversiontask.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

// How long a conversion runs before its dialog shows: shorter ones do not
// flash one.
constexpr int DialogDelayMs = 400;
// How often the dialog takes the share done from the converting thread.
constexpr int ProgressIntervalMs = 50;
constexpr int Steps = 1000;

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

ConversionTask::ConversionTask(AudioConversion &conversion, QWidget *window)
    : conversion(conversion), window(window)
{}

AudioConversion::Outcome ConversionTask::Run(const QString &input, const QString &output,
                                             const QString &name)
{
    return Run(tr("Converting"), tr("Converting %1 into a layer…").arg(name),
               [&](const AudioConversion::Progress &progress) {
                   return conversion.Convert(input, output, progress);
               });
}

AudioConversion::Outcome ConversionTask::Run(const QString &title, const QString &text,
                                             const Job &job)
{
    std::atomic<bool> cancelled{false};
    std::atomic<int> done{0};
    AudioConversion::Outcome outcome;

    QProgressDialog dialog(window);
    dialog.setWindowTitle(title);
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText); // a name is shown as written
    label->setText(text);
    dialog.setLabel(label);
    dialog.setRange(0, Steps);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(DialogDelayMs);
    connect(&dialog, &QProgressDialog::canceled, &dialog, [&cancelled] { cancelled = true; });

    std::unique_ptr<QThread> thread(QThread::create([&] {
        outcome = job([&](double share) {
            done = int(share * Steps);
            return !cancelled;
        });
    }));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer progress;
    connect(&progress, &QTimer::timeout, &dialog, [&] {
        if (!cancelled)
            dialog.setValue(done);
    });
    progress.start(ProgressIntervalMs);

    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    thread->start();
    loop.exec();
    thread->wait();
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
    if (cancelled)
        outcome.Cancelled = true; // also when it ended before it saw Cancel
    return outcome;
}

bool ConversionTask::eventFilter(QObject *watched, QEvent *event)
{
    // Input for the window and its children waits for the conversion; the
    // progress dialog is a window of its own and takes its own. A shortcut
    // is sent to its QShortcut, a child of the window.
    if (!IsInput(event->type()))
        return false;
    QObject *target = watched->isWidgetType() ? watched : watched->parent();
    if (!target || !target->isWidgetType() || static_cast<QWidget *>(target)->window() != window)
        return false;
    if (event->type() == QEvent::ShortcutOverride)
        event->accept(); // taken as a key press, which is dropped
    else
        event->ignore(); // a Close not ignored would still close the window
    return true;
}
