#include "qmwindow.h"
#include "ui_qmwindow.h"

#include "audioconversion.h"
#include "controldescriptions.h"
#include "dropfilter.h"
#include "keyboardaccess.h"
#include "layercopy.h"
#include "layermenu.h"
#include "layerplayer.h"
#include "matchloudnessdialog.h"
#include "messagebox.h"
#include "preparedialog.h"
#include "slideractions.h"
#include "soundfilestate.h"
#include "writefailuremessage.h"

#include "core/addlayer.h"
#include "core/debuglines.h"
#include "core/layertable.h"
#include "core/statusmessage.h"
#include "core/thresholdrules.h"
#include "soundfile/layerextraction.h"
#include "soundfile/sharedfolderrule.h"
#include "soundfile/soundfilereader.h"
#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "wav/wavefilereader.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

namespace {

const QString LastFolderKey = QStringLiteral("LastFolder");
const QString LastSaveFolderKey = QStringLiteral("LastSaveFolder");
// The add dialog's filter last chosen: one of the three below.
const QString LastFilterKey = QStringLiteral("LastFilter");
const QString WaveFilter = QStringLiteral("wav");
const QString AudioFilter = QStringLiteral("audio");
const QString SoundFilter = QStringLiteral("qms");
const QString DefaultWaveFolder = QStringLiteral("./wav");
const QString DefaultSaveFolder = QStringLiteral("./qms");

const QString LoadedMark = QStringLiteral("X");
const StatusMessage PreparationFailed{StatusMessage::Critical, "ERROR", "Preparation failed"};
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

// Where a dialog starts: `folder` when it exists, else `fallback` when that
// exists, else the working folder itself. Never a folder that is not there,
// which the dialog would take for a file name to propose.
QString ExistingFolder(const QString &folder, const QString &fallback)
{
    if (QFileInfo(folder).isDir())
        return folder;
    if (QFileInfo(fallback).isDir())
        return fallback;
    return QDir::currentPath();
}

// Writes `source` prepared as `choices` say into `copy` (see LayerCopy),
// for a layer whose slot of `freed` bytes it is to take. What the copy had
// to change is added to `notes`.
bool WritePreparedCopy(AudioConversion &conversion, QWidget *parent, const QString &source,
                       const QString &copy, const AudioConversion::Choices &choices, qint32 freed,
                       QStringList &notes)
{
    LayerCopy writer(conversion, parent, source, copy, PreparationFailed);
    const bool written = writer.Write(
        QMWindow::tr("Preparing"), QMWindow::tr("Preparing %1…").arg(LayerNameOf(source)),
        [&](const QString &output, const AudioConversion::Progress &progress) {
            return conversion.Prepare(source, output, choices, progress);
        },
        freed);
    for (const QString &note : writer.Notes())
        notes << RefusalDetails(copy, note);
    return written;
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
        // A layer's name is shown as written, never as markup.
        filenames[slot]->setTextFormat(Qt::PlainText);
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

    // Sound files come in by drag and drop too (and through Ctrl+O).
    setAcceptDrops(true);
    installEventFilter(new DropFilter(this));
    new SliderActions(ui->ThresholdSlider, this);
    // Once the window is shown: showing it does not wait for them.
    QMetaObject::invokeMethod(
        this, [this] { SetUpHelpers(); }, Qt::QueuedConnection);
}

void QMWindow::SetUpHelpers()
{
    if (descriptions)
        return;
    new KeyboardAccess(*ui, this, [this] { BrowseSoundFile(); });
    new LayerMenu(
        *ui, this, [this](int layer) { PrepareLayer(layer); }, [this] { MatchLoudness(); });
    descriptions = new ControlDescriptions(*ui, this);
    soundFileState = new SoundFileState(this, ui->GenerateButton);
    Refresh();
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
            ShowStatus(check.Status, RefusalDetails(path, offer.Reason));
            return false;
        }
        // Converted as it is, or converted and then prepared.
        const int chosen = ShowMessageBoxChoice(this, StatusMessageFor(check.Status),
                                                RefusalDetails(path, offer.Reason),
                                                {tr("&Convert…"), tr("Convert and &Prepare…")});
        if (chosen < 0 || !ConvertAndAdd(path))
            return false;
        if (chosen == 1)
            PrepareLayer(Layers.LayerCount);
        return true;
    }
    ShowAvailableSpace();
    ShowThresholds();
    ShowAddedRow(Layers.LayerCount);
    ShowLayerName(Layers.LayerCount, check.DataLength);
    Refresh();
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
    // A tooltip that looks like markup is taken for it: this one is made
    // markup that shows the name as written.
    label->setToolTip(Qt::convertFromPlainText(
        tr("%1\n%2\n%3 s, a slot of %4 bytes")
            .arg(name, QDir::toNativeSeparators(Layers.LayerPath[layer - 1]))
            .arg(double(dataLength) / Limits::BytesPerSecond, 0, 'f', 2)
            .arg(Layers.LayerSize[layer - 1]),
        Qt::WhiteSpaceNormal));
}

bool QMWindow::ConvertAndAdd(const QString &source)
{
    const QString copy = QFileDialog::getSaveFileName(
        this, tr("Save Converted Copy"),
        Conversion().CopyPath(source, QFileInfo(source).absolutePath()), waveFilesFilter());
    if (copy.isEmpty())
        return false;
    LayerCopy writer(Conversion(), this, source, copy,
                     {StatusMessage::Critical, "ERROR", "Conversion failed"});
    const bool written = writer.Write(
        tr("Converting"), tr("Converting %1 into a layer…").arg(LayerNameOf(source)),
        [this, &source](const QString &output, const AudioConversion::Progress &progress) {
            return Conversion().Convert(source, output, progress);
        });
    if (!written || !AddLayerFile(copy))
        return false;
    // What the copy lacks or had to change, in one box once it is in.
    const QStringList notes = writer.Notes();
    if (!notes.isEmpty()) {
        ShowMessage(
            {StatusMessage::Warning, "MESSAGE", "The converted copy was added, with a note"},
            RefusalDetails(copy, notes.join(QLatin1String("; "))));
    }
    return true;
}

void QMWindow::PrepareLayer(int layer)
{
    if (layer < 1 || layer > Layers.LayerCount)
        return;
    ResetThresholdSelection();
    if (!Conversion().Loaded()) {
        ShowMessage(PreparationFailed, Conversion().Unavailable());
        return;
    }
    const QString source = Layers.LayerPath[layer - 1];
    const qint32 size = Layers.LayerSize[layer - 1];
    PrepareDialog dialog(Conversion(), layer, source, Limits::Capacity - (Layers.UsedSpace - size),
                         this);
    dialog.SetPlay([this](const QString &path) { PlayFile(path); });
    dialog.SetApply([&](const PrepareDialog::Choices &choices) {
        const QString copy =
            QFileDialog::getSaveFileName(&dialog, tr("Save Prepared Copy"),
                                         Conversion().PreparedCopyPath(source), waveFilesFilter());
        QStringList notes;
        if (copy.isEmpty() ||
            !WritePreparedCopy(Conversion(), &dialog, source, copy, choices, size, notes) ||
            !ReplaceLayerFile(layer, copy, &dialog))
            return false;
        if (!notes.isEmpty()) {
            ShowMessage({StatusMessage::Warning, "MESSAGE",
                         "The prepared copy replaced the layer, with a note"},
                        notes.join(QLatin1Char('\n')));
        }
        return true;
    });
    dialog.exec();
}

bool QMWindow::ReplaceLayerFile(int layer, const QString &path, QWidget *parent)
{
    const LayerCheck check = ::ReplaceLayer(Layers, layer, path, CheckWaveFile);
    if (!check.Accepted()) {
        ShowMessageBox(parent, StatusMessageFor(check.Status), RefusalDetails(path, check.Reason));
        return false;
    }
    ShowAvailableSpace();
    ShowLayerName(layer, check.DataLength);
    Refresh();
    return true;
}

void QMWindow::MatchLoudness()
{
    if (Layers.LayerCount < 1)
        return;
    ResetThresholdSelection();
    if (!Conversion().Loaded()) {
        ShowMessage(PreparationFailed, Conversion().Unavailable());
        return;
    }
    QStringList paths;
    for (int slot = 0; slot < Layers.LayerCount; ++slot)
        paths << Layers.LayerPath[slot];
    MatchLoudnessDialog dialog(Conversion(), paths, this);
    AudioConversion::Choices choices;
    choices.SetLevel = AudioConversion::Choices::Level::Loudness;
    QList<int> changed;
    dialog.SetApply([&](double target, const QList<int> &layers) {
        choices.Loudness = target;
        changed = layers;
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Each copy is written beside its source and takes its layer's place in
    // turn; a copy that fails or is cancelled stops those after it.
    QStringList notes;
    for (const int layer : changed) {
        const QString source = Layers.LayerPath[layer - 1];
        const QString copy = Conversion().PreparedCopyPath(source);
        QStringList copyNotes;
        if (!WritePreparedCopy(Conversion(), this, source, copy, choices,
                               Layers.LayerSize[layer - 1], copyNotes) ||
            !ReplaceLayerFile(layer, copy, this))
            break;
        notes << copyNotes;
    }
    if (!notes.isEmpty()) {
        ShowMessage({StatusMessage::Warning, "MESSAGE",
                     "The prepared copies replaced the layers, with a note"},
                    notes.join(QLatin1Char('\n')));
    }
}

void QMWindow::RemoveLayer(int layer)
{
    RemoveLastLayer(Layers);
    ShowThresholds();
    ShowAvailableSpace();
    ShowRemovedRow(layer);
    Refresh();
}

void QMWindow::Refresh()
{
    SetUpHelpers();
    descriptions->Update(Layers);
    soundFileState->Update(Layers);
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
    // WAV files first, audio files, sound files last: the kind last chosen is
    // selected, or sound files when they are asked for.
    const QString filters[] = {waveFilesFilter(), Conversion().FilesFilter(),
                               tr("Sound files (*.qms)")};
    const QString kinds[] = {WaveFilter, AudioFilter, SoundFilter};
    QStringList offered;
    for (const QString &filter : filters) {
        if (!filter.isEmpty()) // no audio files without the conversion plugin
            offered << filter;
    }
    const QString kind =
        soundFiles ? SoundFilter : QSettings().value(LastFilterKey, WaveFilter).toString();
    QString selected = offered.first();
    for (int i = 0; i < 3; ++i) {
        if (kinds[i] == kind && !filters[i].isEmpty())
            selected = filters[i];
    }
    // Sound files are looked for where the last one was saved or opened.
    const QString start = soundFiles ? ExistingFolder(lastSaveFolder, DefaultSaveFolder)
                                     : ExistingFolder(lastFolder, DefaultWaveFolder);
    const QString path = QFileDialog::getOpenFileName(this, tr("Open File"), start,
                                                      offered.join(QLatin1String(";;")), &selected);
    if (!path.isEmpty()) {
        lastFolder = CanonicalFolderOf(path);
        QSettings settings;
        settings.setValue(LastFolderKey, lastFolder);
        for (int i = 0; i < 3 && !soundFiles; ++i) {
            if (filters[i] == selected)
                settings.setValue(LastFilterKey, kinds[i]);
        }
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
                   RefusalDetails(path, reader.Info().Problems.join(QLatin1Char('\n'))));
        return false;
    }
    if (reader.Info().Layers.isEmpty()) {
        // Nothing to load: the loaded layers stay.
        ShowStatus(IncompatibleFormatBox, RefusalDetails(path, tr("it holds no layers")));
        return false;
    }
    if (Layers.LayerCount > 0 && !AskToReplaceLayers(path))
        return false;
    const QString folder = ChooseLayerFolder(path);
    if (folder.isEmpty())
        return false;
    const LayerExtraction extraction = ExtractLayers(reader, folder);
    for (const QString &note : extraction.Notes)
        qCDebug(DebugLines) << note;
    if (!extraction.Done()) {
        ShowStatus(FileErrorBox, RefusalDetails(path, extraction.Error));
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
    QSettings().setValue(LastSaveFolderKey, lastSaveFolder);
    saveName = QFileInfo(path).fileName();
    SetUpHelpers();
    soundFileState->Saved(path, Layers);
    Refresh();
    return true;
}

bool QMWindow::AskToReplaceLayers(const QString &path)
{
    QMessageBox box(QMessageBox::Question, tr("MESSAGE"), QString(),
                    QMessageBox::Yes | QMessageBox::No, this);
    SetBoxTexts(box,
                tr("Replace the loaded layers with those of %1?").arg(QFileInfo(path).fileName()),
                QString());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QMWindow::ChooseLayerFolder(const QString &soundFilePath)
{
    // The dialog starts in the default folder, made for it when missing (never
    // through another user's link in a shared folder) and removed again (when
    // still empty) unless it is chosen.
    const QString proposed = DefaultLayerFolder(soundFilePath);
    QString notMade;
    const bool made = !QFileInfo::exists(proposed) && MakeFolder(proposed, notMade);
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
    Refresh();
}

void QMWindow::on_ThresholdSlider_sliderMoved(int position)
{
    DragThreshold(Layers.LayerThreshold, Layers.SelectedLayer, Layers.LayerCount, position);
    ShowThresholds();
    Refresh();
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
    PlayFile(Layers.LayerPath[layer - 1]);
}

void QMWindow::PlayFile(const QString &path)
{
    if (!player)
        player = new LayerPlayer(this);
    player->Play(path);
}

// Generate

void QMWindow::on_GenerateButton_clicked()
{
    for (int slot = 0; slot < Rows; ++slot)
        qCDebug(DebugLines) << Layers.LayerName[slot] << "---" << Layers.LayerPath[slot];

    ReadRememberedFolders();
    if (!QFileInfo::exists(lastSaveFolder))
        lastSaveFolder = DefaultSaveFolder;
    // A name typed without the suffix gets it.
    QFileDialog dialog(this, tr("Save File"), ExistingFolder(lastSaveFolder, DefaultSaveFolder),
                       tr("QuelmarSound (*.qms)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("qms"));
    if (!saveName.isEmpty())
        dialog.selectFile(saveName);
    Layers.SoundFilePath =
        dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    if (!Layers.SoundFilePath.isEmpty()) {
        // The folder is remembered also for a file that does not exist yet.
        const QString folder = CanonicalFolderOf(Layers.SoundFilePath);
        if (!folder.isEmpty()) {
            lastSaveFolder = folder;
            QSettings().setValue(LastSaveFolderKey, lastSaveFolder);
        }
    }
    qCDebug(DebugLines) << Layers.SoundFilePath;
    SetSoundFileName();

    const SoundJob job = MakeSoundJob(Layers);
    const WriteReport report = WriteSoundFile(job);
    if (report.Written()) {
        saveName = Layers.SoundFileName;
        SetUpHelpers();
        soundFileState->Saved(Layers.SoundFilePath, Layers);
    }
    ShowWriteFailure(report, job);
}

void QMWindow::SetSoundFileName()
{
    Layers.SoundFileName = LayerNameOf(Layers.SoundFilePath);
    qCDebug(DebugLines) << Layers.SoundFileName;
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
    return ShowMessageBox(this, message, details, action);
}
