#ifndef AUDIOCONVERSIONINTERFACE_H
#define AUDIOCONVERSIONINTERFACE_H

#include <QString>
#include <QStringList>
#include <QtPlugin>

#include <functional>

class CleanupRegistry;
struct LayerCheck;

// What the conversion plugin gives the window: the audio conversion of
// qmsaudio, in types of its own, so that the window compiles against no
// header of audio/. The plugin carries libsndfile, libsoxr and the codecs
// behind them, so that the program loads them only when a file first needs
// them, not at start-up.
class AudioConversionInterface
{
public:
    // Whether a file the WAV check refused can be converted into a layer, and
    // the reason to show for the refusal: the check's own, or what the file
    // really is when it can be decoded.
    struct Offer
    {
        bool Possible = false;
        QString Reason;
    };
    // How a conversion ended: the copy written, or why not. `CopyNotWritten`
    // when the copy itself could not be written; the reason then concerns
    // the copy. `Cancelled` when the progress function stopped it.
    struct Outcome
    {
        bool Converted = false;
        bool CopyNotWritten = false;
        QString Reason;
        // What the copy lacks or had to change though it was written, e.g.
        // "ends early: 0.50 s of the 1.00 s announced", "2 samples were not
        // numbers".
        QStringList Warnings;
        bool Cancelled = false;
        qint64 Clipped = 0; // samples of the copy that were beyond full scale
    };
    // Called after each block decoded, on the thread that converts, with the
    // share done (0 to 1); the conversion stops, writing nothing, when it
    // returns false.
    using Progress = std::function<bool(double share)>;

    virtual ~AudioConversionInterface() = default;

    // The program's cleanup registry (core/cleanupregistry.h), for the
    // plugin's copy of the code that writes files, which has none of its
    // own: its temporary files are then removed by the program's signal
    // handler. Called once, on loading.
    virtual void UseCleanupRegistry(CleanupRegistry *registry) = 0;

    virtual Offer OfferFor(const QString &path, const LayerCheck &check) = 0;
    // Writes the copy of `input` at `output`. May run on any thread, one
    // conversion at a time.
    virtual Outcome Convert(const QString &input, const QString &output,
                            const Progress &progress) = 0;
    // Where the copy of `source` goes in `folder` unless another is chosen.
    virtual QString CopyPath(const QString &source, const QString &folder) = 0;
    // The open dialog's filter of the audio files this build can read.
    virtual QString FilesFilter() = 0;
};

#define AudioConversionInterface_iid "com.quelmar.QuelmarR4FileGen.AudioConversionInterface/3.0"
Q_DECLARE_INTERFACE(AudioConversionInterface, AudioConversionInterface_iid)

#endif // AUDIOCONVERSIONINTERFACE_H
