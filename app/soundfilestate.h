#ifndef SOUNDFILESTATE_H
#define SOUNDFILESTATE_H

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QWidget;
struct LayerTable;

// Where the loaded layers stand against the sound file last generated or
// opened. The window's title names that file ("truck.qms – QuelmarR4FileGen")
// with the modified marker while the layers or their thresholds differ from
// it. Closing the window (an event filter on its Close event) while there
// are layers not yet generated asks Save, Discard or Cancel; Save runs
// Generate, and the window closes only once the file was written.
class SoundFileState : public QObject
{
public:
    SoundFileState(QWidget *window, QAbstractButton *generate);

    // The layers as they stand were written to, or read from, `path`.
    void Saved(const QString &path, const LayerTable &layers);
    // The layers may have changed.
    void Update(const LayerTable &layers);
    // Layers are loaded that no sound file holds as they are.
    bool Unsaved() const { return !current.Paths.isEmpty() && current != saved; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What a sound file holds of the layer table.
    struct Layers
    {
        QStringList Paths;
        QList<int> Thresholds;
        bool operator==(const Layers &other) const
        {
            return Paths == other.Paths && Thresholds == other.Thresholds;
        }
        bool operator!=(const Layers &other) const { return !(*this == other); }
    };
    static Layers of(const LayerTable &layers);
    // Asks whether to save before closing; true when the window may close.
    bool mayClose();

    QWidget *window;
    QAbstractButton *generate;
    Layers saved;
    Layers current;
};

#endif // SOUNDFILESTATE_H
