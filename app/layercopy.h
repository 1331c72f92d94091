#ifndef LAYERCOPY_H
#define LAYERCOPY_H

#include "audioconversion.h"

#include "core/statusmessage.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// A copy of a sound made to be a layer by the conversion plugin (converted,
// or prepared), written where the user chose. It is refused before anything
// is made when its name cannot be a layer's, or it is the source or a loaded
// layer's file. It is made off the GUI thread (ConversionTask) under a
// hidden temporary name beside its own and takes that name only once it is
// checked as a layer that fits the space left: a copy refused then, or whose
// making is cancelled or fails, leaves nothing behind, and a file it was to
// replace stays. Every failure is told in a box on `parent`, titled as
// `failed` says.
class LayerCopy
{
public:
    // Makes the copy at `output`, telling how far it is through `progress`.
    using Make = std::function<AudioConversion::Outcome(const QString &output,
                                                        const AudioConversion::Progress &progress)>;

    LayerCopy(AudioConversion &conversion, QWidget *parent, const QString &source,
              const QString &copy, const StatusMessage &failed);

    // Makes the copy; `title` and `text` are the progress dialog's. `freed`:
    // the slot of the layer the copy is to replace, given back before the
    // space is checked (0 for a new layer). True when the copy is written.
    bool Write(const QString &title, const QString &text, const Make &make, qint32 freed = 0);
    const AudioConversion::Outcome &Outcome() const { return outcome; }
    // What the copy lacks or had to change though it was written.
    QStringList Notes() const;

private:
    bool nameRefused();

    AudioConversion &conversion;
    QWidget *parent;
    QString source;
    QString copy;
    StatusMessage failed;
    AudioConversion::Outcome outcome;
};

#endif // LAYERCOPY_H
