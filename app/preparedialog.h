#ifndef PREPAREDIALOG_H
#define PREPAREDIALOG_H

#include "audioconversion.h"

#include <QDialog>

#include <functional>
#include <memory>

class AnalysisTask;
class QPushButton;
class QTemporaryDir;

namespace Ui {
class PrepareDialog;
}

// "Prepare…" for one loaded layer: its waveform, with what a trim would cut
// off marked, the figures of its analysis, and the choices of a preparation
// (trim, a loudness or a peak level, fades, fit), with what they will do to
// its level. The waveform and the analysis are read off the GUI thread while
// the dialog shows. Play prepares the sound into a temporary file and plays
// it; Apply hands the choices to the caller's function, which writes the
// prepared copy and replaces the layer, and closes the dialog once it did.
class PrepareDialog : public QDialog
{
    Q_OBJECT

public:
    using Choices = AudioConversion::Choices;
    using Analysis = AudioConversion::Analysis;

    // `fitBytes`: the slot the layer may take beside the other layers.
    PrepareDialog(AudioConversion &conversion, int layer, const QString &path, qint64 fitBytes,
                  QWidget *parent);
    ~PrepareDialog() override;

    // What Apply does; true when the layer was replaced.
    void SetApply(std::function<bool(const Choices &)> apply);
    // How a prepared sound is played.
    void SetPlay(std::function<void(const QString &path)> play);

    Choices Chosen() const;
    bool Analysed() const { return analysis.Analysed; }

    // The waveform summary's width: enough for a wide dialog, little to draw.
    static constexpr int WaveformColumns = 2048;

private:
    void analyse();
    void showAnalysis(const Analysis &result);
    void showChoices();
    void preview();
    void applyChoices();

    AudioConversion &conversion;
    QString path;
    qint64 fitBytes;
    Ui::PrepareDialog *ui;
    AnalysisTask *task;
    Analysis analysis;
    int analyses = 0; // asked so far: only the last is shown
    QPushButton *playButton;
    QPushButton *applyButton;
    std::function<bool(const Choices &)> apply;
    std::function<void(const QString &)> play;
    std::unique_ptr<QTemporaryDir> previewFolder;
    int registeredFolder = -1;
    int registeredPreview = -1;
};

// A level for people: "-12.3 dBFS", or `silent` for -infinity.
QString LevelText(double level, const char *unit, const QString &silent);

#endif // PREPAREDIALOG_H
