#include "qmwindow.h"
#include "ui_qmwindow.h"

#include "audioconversion.h"
#include "dropfilter.h"
#include "layerplayer.h"
#include "writefailuremessage.h"

#include "core/addlayer.h"
#include "core/layertable.h"
#include "core/statusmessage.h"
#include "core/thresholdrules.h"
#include "soundfile/layerextraction.h"
#include "soundfile/soundfilereader.h"
#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "wav/wavefilereader.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QShortcut>

namespace {

const QString LastFolderKey = QStringLiteral("LastFolder");
const QString LastSaveFolderKey = QStringLiteral("LastSaveFolder");
const QString DefaultWaveFolder = QStringLiteral("./wav");
const QString DefaultSaveFolder = QStringLiteral("./qms");

const QString LoadedMark = QStringLiteral("X");
const QString EmptyMark = QStringLiteral("+");
const QString FirstEmptyText = QStringLiteral("Create a Layer");
const QString EmptyText = QStringLiteral("Add a Layer");

// The statuses whose boxes a sound file's refusals reuse: "File Error" for
// one that cannot be read, "Incomatible file format" for one that is not
// valid.
constexpr LayerStatus FileErrorBox = LayerStatus::CannotOpen;
constexpr LayerStatus IncompatibleFormatBox = LayerStatus::NoDataChunk;

QString waveFilesFilter()
{
    return QMWindow::tr("Wave File 44100 16 MONO (*.wav )");
}

bool IsSoundFilePath(const QString &path)
{
    return path.endsWith(QLatin1String(".qms"), Qt::CaseInsensitive);
}

// The canonical path of the folder that holds `path`, whether or not the
// file itself exists yet; "" when the folder does not exist.
QString CanonicalFolderOf(const QString &path)
{
    return QFileInfo(path).absoluteDir().canonicalPath();
}

} // namespace

QMWindow::QMWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::QMWindow)
{
    QCoreApplication::setApplicationName(QStringLiteral("QuelmarR4FileGen"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quelmar"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quelmar.com"));
    // The remembered folders are read when a dialog first needs them
    // (ReadRememberedFolders): showing the window does not wait for the
    // settings store.

    ui->setupUi(this);
    QLabel *const filenames[Rows] = {ui->Filename_1, ui->Filename_2, ui->Filename_3,
                                     ui->Filename_4, ui->Filename_5, ui->Filename_6,
                                     ui->Filename_7, ui->Filename_8};
    QPushButton *const thresholds[Rows] = {ui->ThrOfLayer_1, ui->ThrOfLayer_2, ui->ThrOfLayer_3,
                                           ui->ThrOfLayer_4, ui->ThrOfLayer_5, ui->ThrOfLayer_6,
                                           ui->ThrOfLayer_7, ui->ThrOfLayer_8};
    QPushButton *const addRemoves[Rows] = {
        ui->Del_Br_Button_1, ui->Del_Br_Button_2, ui->Del_Br_Button_3, ui->Del_Br_Button_4,
        ui->Del_Br_Button_5, ui->Del_Br_Button_6, ui->Del_Br_Button_7, ui->Del_Br_Button_8};
    QPushButton *const plays[Rows] = {ui->Play_Button_1, ui->Play_Button_2, ui->Play_Button_3,
                                      ui->Play_Button_4, ui->Play_Button_5, ui->Play_Button_6,
                                      ui->Play_Button_7, ui->Play_Button_8};
    for (int slot = 0; slot < Rows; ++slot) {
        filenameOf[slot] = filenames[slot];
        thresholdButtonOf[slot] = thresholds[slot];
        addRemoveButtonOf[slot] = addRemoves[slot];
        playButtonOf[slot] = plays[slot];
    }

    Layers.Reset();
    ui->ThresholdSlider->setValue(1);

    ui->ThresholdSlider->setVisible(false);
    for (int layer = 1; layer <= Rows; ++layer)
        PlayButtonOf(layer)->setVisible(false);
    for (int layer = 2; layer <= Rows; ++layer)
        FilenameOf(layer)->setVisible(false);
    for (int layer = 1; layer <= Rows; ++layer)
        ThresholdButtonOf(layer)->setVisible(false);
    for (int layer = 2; layer <= Rows; ++layer)
        AddRemoveButtonOf(layer)->setVisible(false);

    ui->GenerateButton->setEnabled(true);
    ui->GenerateButton->setVisible(false);

    // Sound files come in through Ctrl+O and by drag and drop too.
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this,
            [this] { BrowseSoundFile(); });
    setAcceptDrops(true);
    installEventFilter(new DropFilter(this));
}

QMWindow::~QMWindow()
{
    delete conversion;
    delete ui;
}

AudioConversion &QMWindow::Conversion()
{
    if (!conversion)
        conversion = new AudioConversion;
    return *conversion;
}

// Add/remove buttons

void QMWindow::on_Del_Br_Button_1_clicked()
{
    AddOrRemoveLayer(1);
}
void QMWindow::on_Del_Br_Button_2_clicked()
{
    AddOrRemoveLayer(2);
}
void QMWindow::on_Del_Br_Button_3_clicked()
{
    AddOrRemoveLayer(3);
}
void QMWindow::on_Del_Br_Button_4_clicked()
{
    AddOrRemoveLayer(4);
}
void QMWindow::on_Del_Br_Button_5_clicked()
{
    AddOrRemoveLayer(5);
}
void QMWindow::on_Del_Br_Button_6_clicked()
{
    AddOrRemoveLayer(6);
}
void QMWindow::on_Del_Br_Button_7_clicked()
{
    AddOrRemoveLayer(7);
}
void QMWindow::on_Del_Br_Button_8_clicked()
{
    AddOrRemoveLayer(8);
}

void QMWindow::AddOrRemoveLayer(int layer)
{
    ResetThresholdSelection();
    // Only the "+" of the first empty row and the "X" of the last loaded one
    // can be clicked.
    if (Layers.LayerCount == layer - 1)
        AddLayer(layer);
    else if (Layers.LayerCount == layer)
        RemoveLayer(layer);
}

void QMWindow::AddLayer(int layer)
{
    Q_ASSERT(layer == Layers.LayerCount + 1);
    OpenChosenFile(BrowseWaveFile());
}

bool QMWindow::AddLayerFile(const QString &path)
{
    const LayerCheck check = ::AddLayer(Layers, path, CheckWaveFile);
    if (!check.Accepted()) {
        const AudioConversion::Offer offer = Conversion().OfferFor(path, check);
        if (!offer.Possible) {
            ShowStatus(check.Status, offer.Reason);
            return false;
        }
        return ShowMessage(StatusMessageFor(check.Status), offer.Reason, tr("Convert…")) &&
               ConvertAndAdd(path);
    }
    ShowAvailableSpace();
    ShowThresholds();
    ShowAddedRow(Layers.LayerCount);
    ShowLayerName(Layers.LayerCount, check.DataLength);
    return true;
}

void QMWindow::ShowLayerName(int layer, quint32 dataLength)
{
    QLabel *label = FilenameOf(layer);
    const QString &name = Layers.LayerName[layer - 1];
    // The label's own width once the window is laid out, its least before.
    const int width =
        (ui->centralWidget->isVisible() ? label->contentsRect().width() : label->minimumWidth()) -
        2 * label->margin();
    label->setText(label->fontMetrics().elidedText(name, Qt::ElideMiddle, width));
    label->setToolTip(tr("%1\n%2\n%3 s, a slot of %4 bytes")
                          .arg(name, QDir::toNativeSeparators(Layers.LayerPath[layer - 1]))
                          .arg(double(dataLength) / Limits::BytesPerSecond, 0, 'f', 2)
                          .arg(Layers.LayerSize[layer - 1]));
}

bool QMWindow::ConvertAndAdd(const QString &source)
{
    const QString copy = QFileDialog::getSaveFileName(
        this, tr("Save Converted Copy"),
        Conversion().CopyPath(source, QFileInfo(source).absolutePath()), waveFilesFilter());
    if (copy.isEmpty())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const AudioConversion::Outcome outcome = Conversion().Convert(source, copy);
    QApplication::restoreOverrideCursor();
    if (!outcome.Converted) {
        const QString reason = outcome.CopyNotWritten
                                   ? tr("%1 was not written: %2").arg(copy, outcome.Reason)
                                   : outcome.Reason;
        ShowMessage({StatusMessage::Critical, "ERROR", "Conversion failed"}, reason);
        return false;
    }
    return AddLayerFile(copy);
}

void QMWindow::RemoveLayer(int layer)
{
    RemoveLastLayer(Layers);
    ShowThresholds();
    ShowAvailableSpace();
    ShowRemovedRow(layer);
}

void QMWindow::ShowAddedRow(int layer)
{
    const bool first = layer == 1;
    const bool last = layer == Rows;
    if (!first)
        AddRemoveButtonOf(layer - 1)->setEnabled(false);
    AddRemoveButtonOf(layer)->setText(LoadedMark);
    PlayButtonOf(layer)->setVisible(true);
    if (!last)
        AddRemoveButtonOf(layer + 1)->setVisible(true);
    FilenameOf(layer)->setText(Layers.LayerName[layer - 1]);
    if (!last)
        FilenameOf(layer + 1)->setVisible(true);
    if (first) {
        ui->GenerateButton->setVisible(true);
        return;
    }
    ThresholdButtonOf(layer - 1)->setVisible(true);
    ThresholdButtonOf(layer)->setVisible(true);
}

void QMWindow::ShowRemovedRow(int layer)
{
    const bool first = layer == 1;
    const bool last = layer == Rows;
    AddRemoveButtonOf(layer)->setText(EmptyMark);
    if (!first)
        AddRemoveButtonOf(layer - 1)->setEnabled(true);
    PlayButtonOf(layer)->setVisible(false);
    if (!last) {
        AddRemoveButtonOf(layer + 1)->setVisible(false);
        FilenameOf(layer + 1)->setVisible(false);
    }
    FilenameOf(layer)->setText(first ? FirstEmptyText : EmptyText);
    FilenameOf(layer)->setToolTip(QString());
    if (first) {
        ui->GenerateButton->setVisible(false);
        return;
    }
    ThresholdButtonOf(layer)->setVisible(false);
    if (layer == 2)
        ThresholdButtonOf(1)->setVisible(false);
    ui->ThresholdSlider->setVisible(false);
}

void QMWindow::ShowAvailableSpace()
{
    ui->AvailableSpace->setValue(AvailableSpacePercent(Layers.UsedSpace));
}

void QMWindow::ReadRememberedFolders()
{
    if (rememberedFoldersRead)
        return;
    rememberedFoldersRead = true;
    const QSettings settings;
    lastFolder = settings.value(LastFolderKey, DefaultWaveFolder).toString();
    lastSaveFolder = settings.value(LastSaveFolderKey, DefaultSaveFolder).toString();
}

QString QMWindow::BrowseWaveFile()
{
    return BrowseFile(false);
}

QString QMWindow::BrowseFile(bool soundFiles)
{
    ReadRememberedFolders();
    if (!QFileInfo::exists(lastFolder))
        lastFolder = DefaultWaveFolder;
    // WAV files first, selected unless sound files are asked for; those last.
    QStringList filters{
        waveFilesFilter(),
        Conversion().FilesFilter(),
        tr("Sound files (*.qms)"),
    };
    filters.removeAll(QString()); // no audio files without the conversion plugin
    QString selected = soundFiles ? filters.last() : filters.first();
    const QString path = QFileDialog::getOpenFileName(this, tr("Open File"), lastFolder,
                                                      filters.join(QLatin1String(";;")), &selected);
    if (!path.isEmpty()) {
        lastFolder = CanonicalFolderOf(path);
        QSettings().setValue(LastFolderKey, lastFolder);
    }
    return path;
}

// Sound files and files from outside

void QMWindow::OpenChosenFile(const QString &path)
{
    if (IsSoundFilePath(path))
        OpenSoundFile(path);
    else
        AddLayerFile(path);
}

void QMWindow::BrowseSoundFile()
{
    ResetThresholdSelection();
    const QString path = BrowseFile(true);
    if (!path.isEmpty())
        OpenChosenFile(path);
}

void QMWindow::OpenFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    ResetThresholdSelection();
    if (std::any_of(paths.begin(), paths.end(), IsSoundFilePath)) {
        if (paths.size() == 1) {
            OpenSoundFile(paths.first());
            return;
        }
        ShowMessage({StatusMessage::Warning, "MESSAGE",
                     "A sound file (.qms) opens on its own, without other files. Nothing was "
                     "opened."},
                    QString());
        return;
    }
    for (int i = 0; i < paths.size(); ++i) {
        if (Layers.LayerCount >= Rows) {
            QStringList names;
            for (const QString &path : paths.mid(i))
                names << LayerNameOf(path);
            ShowStatus(LayerStatus::NotEnoughSpace, tr("All %1 layers are in use; not added: %2")
                                                        .arg(Rows)
                                                        .arg(names.join(QLatin1String(", "))));
            return;
        }
        AddLayerFile(paths.at(i));
    }
}

bool QMWindow::OpenSoundFile(const QString &path)
{
    SoundFileReader reader;
    if (!reader.Open(path)) {
        ShowStatus(reader.CannotRead() ? FileErrorBox : IncompatibleFormatBox,
                   reader.Info().Problems.join(QLatin1Char('\n')));
        return false;
    }
    if (Layers.LayerCount > 0 && !AskToReplaceLayers(path))
        return false;
    const QString folder = ChooseLayerFolder(path);
    if (folder.isEmpty())
        return false;
    const LayerExtraction extraction = ExtractLayers(reader, folder);
    for (const QString &note : extraction.Notes)
        qDebug() << note;
    if (!extraction.Done()) {
        ShowStatus(FileErrorBox, extraction.Error);
        return false;
    }

    ReadRememberedFolders(); // before the save folder is set to the file's own
    RemoveAllLayers();
    for (const ExtractedLayer &layer : extraction.Layers) {
        if (!AddLayerFile(layer.Path))
            break;
    }
    // As the slider would have left them, so that Generate writes the file again.
    ApplyThresholds(Layers.LayerThreshold, Layers.LayerCount, extraction.Thresholds);
    ShowThresholds();
    lastSaveFolder = CanonicalFolderOf(path);
    saveName = QFileInfo(path).fileName();
    return true;
}

bool QMWindow::AskToReplaceLayers(const QString &path)
{
    return QMessageBox::question(
               this, tr("MESSAGE"),
               tr("Replace the loaded layers with those of %1?").arg(QFileInfo(path).fileName()),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

QString QMWindow::ChooseLayerFolder(const QString &soundFilePath)
{
    // The dialog starts in the default folder, made for it when missing and
    // removed again (when still empty) unless it is chosen.
    const QString proposed = DefaultLayerFolder(soundFilePath);
    const bool made = !QFileInfo::exists(proposed) && QDir().mkdir(proposed);
    const QString start =
        QFileInfo(proposed).isDir() ? proposed : QFileInfo(soundFilePath).absolutePath();
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Extract the Layers Into"), start);
    if (made && QFileInfo(folder).canonicalFilePath() != QFileInfo(proposed).canonicalFilePath())
        QDir().rmdir(proposed);
    return folder;
}

void QMWindow::RemoveAllLayers()
{
    while (Layers.LayerCount > 0)
        RemoveLayer(Layers.LayerCount);
}

// Threshold selection

void QMWindow::on_ThrOfLayer_1_clicked()
{
    SelectLayer(1);
}
void QMWindow::on_ThrOfLayer_2_clicked()
{
    SelectLayer(2);
}
void QMWindow::on_ThrOfLayer_3_clicked()
{
    SelectLayer(3);
}
void QMWindow::on_ThrOfLayer_4_clicked()
{
    SelectLayer(4);
}
void QMWindow::on_ThrOfLayer_5_clicked()
{
    SelectLayer(5);
}
void QMWindow::on_ThrOfLayer_6_clicked()
{
    SelectLayer(6);
}
void QMWindow::on_ThrOfLayer_7_clicked()
{
    SelectLayer(7);
}
void QMWindow::on_ThrOfLayer_8_clicked()
{
    SelectLayer(8);
}

void QMWindow::SelectLayer(int layer)
{
    // The last loaded layer keeps threshold 1: nothing to edit.
    if (layer > 1 && Layers.LayerCount == layer) {
        ui->ThresholdSlider->setVisible(false);
        return;
    }
    ui->ThresholdSlider->setVisible(true);
    Layers.SelectedLayer = layer;
    ui->ThresholdSlider->setValue(Layers.LayerThreshold[layer]);
}

void QMWindow::on_ThresholdSlider_sliderMoved(int position)
{
    DragThreshold(Layers.LayerThreshold, Layers.SelectedLayer, Layers.LayerCount, position);
    ShowThresholds();
}

void QMWindow::ResetThresholdSelection()
{
    ui->ThresholdSlider->setVisible(false);
    ThresholdButtonOf(Rows)->setChecked(true);
}

void QMWindow::ShowThresholds()
{
    for (int layer = 1; layer <= Rows; ++layer)
        ThresholdButtonOf(layer)->setText(QString::number(Layers.LayerThreshold[layer]));
}

// Play buttons

void QMWindow::on_Play_Button_1_clicked()
{
    PlayLayer(1);
}
void QMWindow::on_Play_Button_2_clicked()
{
    PlayLayer(2);
}
void QMWindow::on_Play_Button_3_clicked()
{
    PlayLayer(3);
}
void QMWindow::on_Play_Button_4_clicked()
{
    PlayLayer(4);
}
void QMWindow::on_Play_Button_5_clicked()
{
    PlayLayer(5);
}
void QMWindow::on_Play_Button_6_clicked()
{
    PlayLayer(6);
}
void QMWindow::on_Play_Button_7_clicked()
{
    PlayLayer(7);
}
void QMWindow::on_Play_Button_8_clicked()
{
    PlayLayer(8);
}

void QMWindow::PlayLayer(int layer)
{
    if (!player)
        player = new LayerPlayer(this);
    player->Play(Layers.LayerPath[layer - 1]);
}

// Generate

void QMWindow::on_GenerateButton_clicked()
{
    for (int slot = 0; slot < Rows; ++slot)
        qDebug() << Layers.LayerName[slot] << "---" << Layers.LayerPath[slot];

    ReadRememberedFolders();
    if (!QFileInfo::exists(lastSaveFolder))
        lastSaveFolder = DefaultSaveFolder;
    const QString start =
        saveName.isEmpty() ? lastSaveFolder : lastSaveFolder + QLatin1Char('/') + saveName;
    Layers.SoundFilePath =
        QFileDialog::getSaveFileName(this, tr("Save File"), start, tr("QuelmarSound (*.qms)"));
    if (!Layers.SoundFilePath.isEmpty()) {
        // The folder is remembered also for a file that does not exist yet.
        const QString folder = CanonicalFolderOf(Layers.SoundFilePath);
        if (!folder.isEmpty()) {
            lastSaveFolder = folder;
            QSettings().setValue(LastSaveFolderKey, lastSaveFolder);
        }
    }
    qDebug() << Layers.SoundFilePath;
    SetSoundFileName();

    const SoundJob job = MakeSoundJob(Layers);
    ShowWriteFailure(WriteSoundFile(job), job);
}

void QMWindow::SetSoundFileName()
{
    Layers.SoundFileName = LayerNameOf(Layers.SoundFilePath);
    qDebug() << Layers.SoundFileName;
}

void QMWindow::ShowWriteFailure(const WriteReport &report, const SoundJob &job)
{
    const std::optional<WriteFailureMessage> message = WriteFailureMessageFor(report, job);
    if (message)
        ShowMessage(message->box, message->details);
}

// Status messages

void QMWindow::ErrorMessage(int code)
{
    ShowMessage(StatusMessageFor(code), QString());
}

void QMWindow::ShowStatus(LayerStatus status, const QString &reason)
{
    ShowMessage(StatusMessageFor(status), reason);
}

bool QMWindow::ShowMessage(const StatusMessage &message, const QString &details,
                           const QString &action)
{
    const QMessageBox::Icon icon =
        message.kind == StatusMessage::Warning ? QMessageBox::Warning : QMessageBox::Critical;
    QMessageBox box(icon, QString::fromUtf8(message.title), QString::fromUtf8(message.text),
                    QMessageBox::Ok, this);
    box.setDefaultButton(QMessageBox::NoButton);
    box.setInformativeText(details);
    QPushButton *actionButton =
        action.isEmpty() ? nullptr : box.addButton(action, QMessageBox::AcceptRole);
    box.setEscapeButton(QMessageBox::Ok); // Escape leaves things as they are
    box.exec();
    return actionButton && box.clickedButton() == actionButton;
}
