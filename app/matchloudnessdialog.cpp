#include "matchloudnessdialog.h"
#include "ui_matchloudnessdialog.h"

#include "analysistask.h"
#include "messagebox.h"
#include "preparedialog.h"

#include "core/layertable.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTextDocument>

#include <cmath>
#include <limits>

namespace {

enum Column { LayerColumn, NameColumn, LoudnessColumn, TruePeakColumn, GainColumn, AfterColumn };

} // namespace

MatchLoudnessDialog::MatchLoudnessDialog(AudioConversion &conversion, const QStringList &paths,
                                         QWidget *parent)
    : QDialog(parent), conversion(conversion), ui(new Ui::MatchLoudnessDialog),
      task(new AnalysisTask(conversion, this)), analyses(paths.size())
{
    ui->setupUi(this);
    applyButton = ui->buttonBox->addButton(tr("&Apply"), QDialogButtonBox::AcceptRole);
    applyButton->setToolTip(tr("Save the prepared copies beside the layers' files and put them "
                               "in place of the layers"));
    applyButton->setAccessibleName(tr("Apply the loudness"));
    applyButton->setEnabled(false);
    applyButton->setDefault(true);
    QPushButton *cancel = ui->buttonBox->button(QDialogButtonBox::Cancel);
    cancel->setToolTip(tr("Close without changing the layers"));
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, [this] {
        QList<int> layers;
        for (int i = 0; i < analyses.size(); ++i) {
            const AudioConversion::Analysis &analysis = analyses.at(i);
            if (analysis.Analysed && std::isfinite(analysis.Loudness) &&
                std::fabs(this->conversion.ExpectLoudness(analysis, target()).Gain) >= LeastGain)
                layers << i + 1;
        }
        if (apply)
            apply(target(), layers);
        accept();
    });
    connect(ui->quietestRadio, &QRadioButton::toggled, this, [this] { showTarget(); });
    connect(ui->targetSpin, &QDoubleSpinBox::valueChanged, this, [this] { showTarget(); });

    QTableWidget *table = ui->layerTable;
    // Room for every column's figures without scrolling sideways.
    table->setMinimumWidth(table->fontMetrics().averageCharWidth() * 90);
    table->setRowCount(int(paths.size()));
    table->verticalHeader()->hide();
    // Room for every layer's row without scrolling.
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            table->verticalHeader()->defaultSectionSize() * int(paths.size()) +
                            2 * table->frameWidth());
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int i = 0; i < paths.size(); ++i) {
        // Items show their text as written, never as markup.
        table->setItem(i, LayerColumn, new QTableWidgetItem(QString::number(i + 1)));
        table->setItem(i, NameColumn, new QTableWidgetItem(LayerNameOf(paths.at(i))));
        for (int column = LoudnessColumn; column <= AfterColumn; ++column)
            table->setItem(i, column, new QTableWidgetItem(tr("…")));
    }
    ui->analysisProgress->setRange(0, int(paths.size()));
    for (int i = 0; i < paths.size(); ++i) {
        task->Analyse(
            paths.at(i), AudioConversion::Choices().TrimLevel,
            [this, i](const AudioConversion::Analysis &analysis) { showAnalysis(i, analysis); });
    }
    showTarget();
}

MatchLoudnessDialog::~MatchLoudnessDialog()
{
    delete task; // stops the analyses before anything they use goes
    delete ui;
}

void MatchLoudnessDialog::SetApply(std::function<void(double, const QList<int> &)> function)
{
    apply = std::move(function);
}

void MatchLoudnessDialog::showAnalysis(int index, const AudioConversion::Analysis &analysis)
{
    analyses[index] = analysis;
    ++analysed;
    ui->analysisProgress->setValue(analysed);
    QTableWidget *table = ui->layerTable;
    if (!analysis.Analysed) {
        table->item(index, LoudnessColumn)->setText(tr("cannot be read"));
        table->item(index, LoudnessColumn)->setToolTip(Qt::convertFromPlainText(analysis.Reason));
    } else {
        table->item(index, LoudnessColumn)
            ->setText(LevelText(analysis.Loudness, "LUFS", tr("too quiet to measure")));
        table->item(index, TruePeakColumn)
            ->setText(LevelText(analysis.TruePeak, "dBTP", tr("silent")));
    }
    if (analysed == analyses.size())
        ui->analysisProgress->hide();
    showTarget();
}

double MatchLoudnessDialog::target() const
{
    if (ui->targetRadio->isChecked())
        return ui->targetSpin->value();
    double quietest = std::numeric_limits<double>::infinity();
    for (const AudioConversion::Analysis &analysis : analyses) {
        if (analysis.Analysed && std::isfinite(analysis.Loudness))
            quietest = std::min(quietest, analysis.Loudness);
    }
    return quietest;
}

void MatchLoudnessDialog::showTarget()
{
    ui->targetSpin->setEnabled(ui->targetRadio->isChecked());
    const bool done = analysed == analyses.size();
    const double level = target();
    ui->quietestRadio->setText(
        done && std::isfinite(level) && ui->quietestRadio->isChecked()
            ? tr("The &quietest layer's loudness: %1").arg(LevelText(level, "LUFS", QString()))
            : tr("The &quietest layer's loudness"));
    if (!done) {
        ui->noteLabel->setText(tr("Analysing the layers…"));
        applyButton->setEnabled(false);
        return;
    }
    int changed = 0;
    QTableWidget *table = ui->layerTable;
    for (int i = 0; i < analyses.size(); ++i) {
        const AudioConversion::Analysis &analysis = analyses.at(i);
        QTableWidgetItem *gain = table->item(i, GainColumn);
        QTableWidgetItem *after = table->item(i, AfterColumn);
        if (!analysis.Analysed || !std::isfinite(analysis.Loudness) || !std::isfinite(level)) {
            gain->setText(tr("none"));
            after->setText(tr("stays"));
            continue;
        }
        const AudioConversion::Expectation expected = conversion.ExpectLoudness(analysis, level);
        const bool changes = std::fabs(expected.Gain) >= LeastGain;
        changed += changes ? 1 : 0;
        gain->setText(changes ? QString::asprintf("%+.1f dB", expected.Gain) : tr("none"));
        after->setText(expected.HeldBack >= LeastGain
                           ? tr("%1, held back %2 dB by the true peak")
                                 .arg(LevelText(expected.Loudness, "LUFS", QString()))
                                 .arg(expected.HeldBack, 0, 'f', 1)
                           : LevelText(expected.Loudness, "LUFS", QString()));
    }
    applyButton->setEnabled(changed > 0);
    ui->noteLabel->setText(changed == 0   ? tr("Every layer is at that loudness already.")
                           : changed == 1 ? tr("1 layer will be changed.")
                                          : tr("%1 layers will be changed.").arg(changed));
}
