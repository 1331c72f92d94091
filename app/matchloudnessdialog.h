#ifndef MATCHLOUDNESSDIALOG_H
#define MATCHLOUDNESSDIALOG_H

#include "audioconversion.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QVector>

#include <functional>

class AnalysisTask;
class QPushButton;

namespace Ui {
class MatchLoudnessDialog;
}

// "Match Loudness…" for the loaded layers: each layer's loudness and true
// peak, analysed off the GUI thread while the dialog shows (with its
// progress; Cancel stops it), and what one loudness (the quietest layer's,
// or one typed) makes of them, as far as the true peak ceiling lets each go.
// Apply hands the target and the layers it changes to the caller's
// function, which writes the prepared copies and replaces the layers.
class MatchLoudnessDialog : public QDialog
{
    Q_OBJECT

public:
    // `paths`: the loaded layers' files, layer 1 first.
    MatchLoudnessDialog(AudioConversion &conversion, const QStringList &paths, QWidget *parent);
    ~MatchLoudnessDialog() override;

    // What Apply does with the loudness and the layers (1 to 8) it changes.
    void SetApply(std::function<void(double target, const QList<int> &layers)> apply);

    // Changes smaller than this are not made: the layer stays as it is.
    static constexpr double LeastGain = 0.05;

private:
    void showAnalysis(int index, const AudioConversion::Analysis &analysis);
    void showTarget();
    double target() const;

    AudioConversion &conversion;
    Ui::MatchLoudnessDialog *ui;
    AnalysisTask *task;
    QVector<AudioConversion::Analysis> analyses;
    int analysed = 0;
    QPushButton *applyButton;
    std::function<void(double, const QList<int> &)> apply;
};

#endif // MATCHLOUDNESSDIALOG_H
