#include "preparedialog.h"
#include "ui_preparedialog.h"

#include "analysistask.h"
#include "conversiontask.h"
#include "messagebox.h"

#include "core/cleanupregistry.h"
#include "core/duration.h"
#include "core/layertable.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>

namespace {

// How long the trim level rests before the edges are looked for again.
constexpr int ReanalyseDelayMs = 300;

} // namespace

QString LevelText(double level, const char *unit, const QString &silent)
{
    if (!std::isfinite(level))
        return silent;
    return QStringLiteral("%1 %2").arg(level, 0, 'f', 1).arg(QLatin1String(unit));
}

PrepareDialog::PrepareDialog(AudioConversion &conversion, int layer, const QString &path,
                             qint64 fitBytes, QWidget *parent)
    : QDialog(parent), conversion(conversion), path(path), fitBytes(fitBytes),
      ui(new Ui::PrepareDialog), task(new AnalysisTask(conversion, this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Prepare Layer %1").arg(layer));
    ui->nameLabel->setText(tr("Layer %1: %2").arg(layer).arg(LayerNameOf(path)));
    playButton = ui->buttonBox->addButton(tr("&Play"), QDialogButtonBox::ActionRole);
    playButton->setToolTip(tr("Play the layer as it will be once prepared"));
    playButton->setAccessibleName(tr("Play the prepared layer"));
    applyButton = ui->buttonBox->addButton(tr("&Apply"), QDialogButtonBox::AcceptRole);
    applyButton->setToolTip(tr("Save the prepared copy beside the layer's file and put it in "
                               "place of the layer"));
    applyButton->setAccessibleName(tr("Apply the preparation"));
    applyButton->setDefault(true);
    QPushButton *cancel = ui->buttonBox->button(QDialogButtonBox::Cancel);
    cancel->setToolTip(tr("Close without changing the layer"));
    cancel->setAccessibleName(tr("Cancel"));
    connect(playButton, &QPushButton::clicked, this, [this] { preview(); });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, [this] { applyChoices(); });
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    for (QLabel *value :
         {ui->durationValue, ui->samplePeakValue, ui->truePeakValue, ui->loudnessValue,
          ui->silentStartValue, ui->silentEndValue, ui->clippedValue}) {
        value->setText(tr("…"));
        // Wide enough for the longest figure, so that none is cut once it comes.
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(tr("too quiet to measure")));
    }
    ui->waveform->SetMessage(tr("Reading the waveform…"));
    ui->noteLabel->setText(tr("Analysing…"));

    auto *reanalyse = new QTimer(this);
    reanalyse->setSingleShot(true);
    reanalyse->setInterval(ReanalyseDelayMs);
    connect(reanalyse, &QTimer::timeout, this, [this] { analyse(); });
    connect(ui->trimSpin, &QDoubleSpinBox::valueChanged, reanalyse, qOverload<>(&QTimer::start));
    for (QAbstractButton *choice : {static_cast<QAbstractButton *>(ui->trimCheck),
                                    static_cast<QAbstractButton *>(ui->keepRadio),
                                    static_cast<QAbstractButton *>(ui->loudnessRadio),
                                    static_cast<QAbstractButton *>(ui->peakRadio),
                                    static_cast<QAbstractButton *>(ui->fitCheck)})
        connect(choice, &QAbstractButton::toggled, this, [this] { showChoices(); });
    for (QDoubleSpinBox *spin : {ui->loudnessSpin, ui->peakSpin, ui->fadeInSpin, ui->fadeOutSpin})
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { showChoices(); });
    showChoices();

    task->Waveform(path, WaveformColumns, [this](const QVector<AnalysisTask::Column> &columns) {
        ui->waveform->SetColumns(columns);
        if (columns.isEmpty())
            ui->waveform->SetMessage(tr("The waveform cannot be read."));
    });
    analyse();
}

PrepareDialog::~PrepareDialog()
{
    delete task; // stops the reading before anything it uses goes
    CleanupRegistry::Unregister(registeredPreview);
    CleanupRegistry::Unregister(registeredFolder);
    previewFolder.reset();
    delete ui;
}

void PrepareDialog::SetApply(std::function<bool(const Choices &)> function)
{
    apply = std::move(function);
}

void PrepareDialog::SetPlay(std::function<void(const QString &)> function)
{
    play = std::move(function);
}

PrepareDialog::Choices PrepareDialog::Chosen() const
{
    Choices choices;
    choices.Trim = ui->trimCheck->isChecked();
    choices.TrimLevel = ui->trimSpin->value();
    if (ui->loudnessRadio->isChecked())
        choices.SetLevel = Choices::Level::Loudness;
    else if (ui->peakRadio->isChecked())
        choices.SetLevel = Choices::Level::Peak;
    choices.Loudness = ui->loudnessSpin->value();
    choices.Peak = ui->peakSpin->value();
    choices.FadeIn = ui->fadeInSpin->value();
    choices.FadeOut = ui->fadeOutSpin->value();
    choices.Fit = ui->fitCheck->isChecked();
    choices.FitBytes = fitBytes;
    return choices;
}

void PrepareDialog::analyse()
{
    const int asked = ++analyses;
    task->Analyse(path, ui->trimSpin->value(), [this, asked](const Analysis &result) {
        if (asked == analyses)
            showAnalysis(result);
    });
}

void PrepareDialog::showAnalysis(const Analysis &result)
{
    analysis = result;
    if (!analysis.Analysed) {
        for (QLabel *value :
             {ui->durationValue, ui->samplePeakValue, ui->truePeakValue, ui->loudnessValue,
              ui->silentStartValue, ui->silentEndValue, ui->clippedValue})
            value->setText(tr("—"));
        ui->noteLabel->setText(RefusalDetails(path, analysis.Reason));
        return;
    }
    const QString silent = tr("silent");
    ui->durationValue->setText(SecondsText(analysis.Seconds));
    ui->samplePeakValue->setText(LevelText(analysis.SamplePeak, "dBFS", silent));
    ui->truePeakValue->setText(LevelText(analysis.TruePeak, "dBTP", silent));
    ui->loudnessValue->setText(LevelText(analysis.Loudness, "LUFS", tr("too quiet to measure")));
    ui->silentStartValue->setText(SecondsText(analysis.SilentStart));
    ui->silentEndValue->setText(SecondsText(analysis.SilentEnd));
    ui->clippedValue->setText(QString::number(analysis.Clipped));
    showChoices();
}

void PrepareDialog::showChoices()
{
    const Choices choices = Chosen();
    ui->trimSpin->setEnabled(choices.Trim);
    ui->loudnessSpin->setEnabled(choices.SetLevel == Choices::Level::Loudness);
    ui->peakSpin->setEnabled(choices.SetLevel == Choices::Level::Peak);
    const bool any = choices.Trim || choices.SetLevel != Choices::Level::Kept ||
                     choices.FadeIn > 0 || choices.FadeOut > 0 || choices.Fit;
    applyButton->setEnabled(any);
    playButton->setEnabled(any);

    const double seconds = analysis.Seconds;
    ui->waveform->SetTrim(seconds > 0 ? analysis.TrimStart / seconds : 0,
                          seconds > 0 ? 1 - analysis.TrimEnd / seconds : 1,
                          choices.Trim && analysis.Analysed);
    if (!analysis.Analysed)
        return;
    QStringList notes;
    if (choices.Trim) {
        notes << tr("trims %1 + %2")
                     .arg(SecondsText(analysis.TrimStart), SecondsText(analysis.TrimEnd));
    }
    if (choices.SetLevel == Choices::Level::Loudness) {
        if (!std::isfinite(analysis.Loudness)) {
            notes << tr("too quiet to measure: the level stays");
        } else {
            const AudioConversion::Expectation expected =
                conversion.ExpectLoudness(analysis, choices.Loudness);
            notes << tr("gain %1 dB").arg(QString::asprintf("%+.1f", expected.Gain));
            if (expected.HeldBack >= 0.05) {
                notes << tr("held back %1 dB by the true peak ceiling: %2")
                             .arg(expected.HeldBack, 0, 'f', 1)
                             .arg(LevelText(expected.Loudness, "LUFS", QString()));
            }
        }
    } else if (choices.SetLevel == Choices::Level::Peak && std::isfinite(analysis.SamplePeak)) {
        notes
            << tr("gain %1 dB").arg(QString::asprintf("%+.1f", choices.Peak - analysis.SamplePeak));
    }
    ui->noteLabel->setText(notes.isEmpty() ? tr("Choose how to prepare the layer.")
                                           : tr("Prepared: %1.").arg(notes.join(tr(", "))));
}

void PrepareDialog::preview()
{
    if (!previewFolder) {
        previewFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                        QStringLiteral("/qms-preview-XXXXXX"));
        registeredFolder = CleanupRegistry::Register(QFile::encodeName(previewFolder->path()),
                                                     CleanupRegistry::Kind::Folder);
        registeredPreview = CleanupRegistry::Register(
            QFile::encodeName(previewFolder->filePath(QStringLiteral("preview.wav"))),
            CleanupRegistry::Kind::File);
    }
    const StatusMessage failed{StatusMessage::Critical, "ERROR", "Preparation failed"};
    if (!previewFolder->isValid()) {
        ShowMessageBox(this, failed, previewFolder->errorString());
        return;
    }
    const QString preview = previewFolder->filePath(QStringLiteral("preview.wav"));
    const Choices choices = Chosen();
    const AudioConversion::Outcome outcome =
        ConversionTask(conversion, this)
            .Run(tr("Preparing"), tr("Preparing %1 to play it…").arg(LayerNameOf(path)),
                 [&](const AudioConversion::Progress &progress) {
                     return conversion.Prepare(path, preview, choices, progress);
                 });
    if (outcome.Cancelled)
        return;
    if (!outcome.Converted) {
        ShowMessageBox(this, failed, RefusalDetails(path, outcome.Reason));
        return;
    }
    if (play)
        play(preview);
}

void PrepareDialog::applyChoices()
{
    if (apply && apply(Chosen()))
        accept();
}
