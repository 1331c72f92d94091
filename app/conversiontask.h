#ifndef CONVERSIONTASK_H
#define CONVERSIONTASK_H

#include "audioconversion.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// One conversion run off the GUI thread, so that the window is still drawn
// while it lasts: a progress dialog (shown once it takes more than a moment)
// tells how far it is and has Cancel, which stops the conversion at its next
// block with nothing written. Until it ends the window takes no input: the
// dialog is modal, and before it shows, clicks and keys for the window are
// dropped. Only the conversion runs on the other thread; what is done with
// its outcome (the layer table, the boxes) is done by the caller, on the GUI
// thread, after Run() returns.
class ConversionTask : public QObject
{
public:
    // The conversion plugin must be loaded already (AudioConversion::Loaded()).
    ConversionTask(AudioConversion &conversion, QWidget *window);

    // Converts `input` into `output`; `name` is what the dialog says is being
    // converted. Returns when the conversion has ended or stopped.
    AudioConversion::Outcome Run(const QString &input, const QString &output, const QString &name);

    // Runs `job` (a conversion of some kind: a prepared copy) in the same way,
    // the dialog titled `title` and saying `text`.
    using Job = std::function<AudioConversion::Outcome(const AudioConversion::Progress &)>;
    AudioConversion::Outcome Run(const QString &title, const QString &text, const Job &job);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AudioConversion &conversion;
    QWidget *window;
};

#endif // CONVERSIONTASK_H
