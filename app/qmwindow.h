#ifndef QMWINDOW_H
#define QMWINDOW_H

#include "core/layercheck.h"
#include "core/limits.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

class AudioConversion;
class ControlDescriptions;
class LayerPlayer;
class QLabel;
class QPushButton;
class SoundFileState;
struct SoundJob;
struct StatusMessage;
struct WriteReport;

namespace Ui {
class QMWindow;
}

// The one window of the program: eight layer rows, the threshold slider, the
// available-space bar and the Generate button. Every action is a slot here,
// connected to its widget by name when the form is set up; the slots share
// the process-wide layer table (Layers).
class QMWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit QMWindow(QWidget *parent = nullptr);
    ~QMWindow() override;

    // Runs the open-file dialog in the remembered WAV folder and remembers the
    // chosen file's folder; returns the path, "" when cancelled.
    QString BrowseWaveFile();
    // Hides the slider and clears the visible threshold selection.
    void ResetThresholdSelection();
    // Sets SoundFileName from SoundFilePath.
    void SetSoundFileName();

    // Files from outside the window (dropped on it, given on the command
    // line), in order: a sound file (.qms) alone is opened; other files are
    // added as layers one by one, each as if chosen in the add dialog, and
    // those left when all rows are in use are refused with one box.
    void OpenFiles(const QStringList &paths);

private slots:
    void on_Del_Br_Button_1_clicked();
    void on_Del_Br_Button_2_clicked();
    void on_ThrOfLayer_1_clicked();
    void on_ThrOfLayer_2_clicked();
    void on_Del_Br_Button_3_clicked();
    void on_ThrOfLayer_3_clicked();
    void on_ThrOfLayer_4_clicked();
    void on_ThrOfLayer_5_clicked();
    void on_ThrOfLayer_6_clicked();
    void on_ThrOfLayer_7_clicked();
    void on_ThrOfLayer_8_clicked();
    void on_Del_Br_Button_4_clicked();
    void on_Del_Br_Button_5_clicked();
    void on_Del_Br_Button_6_clicked();
    void on_Del_Br_Button_7_clicked();
    void on_Del_Br_Button_8_clicked();
    void on_GenerateButton_clicked();
    void on_Play_Button_1_clicked();
    void on_Play_Button_2_clicked();
    void on_Play_Button_3_clicked();
    void on_Play_Button_4_clicked();
    void on_Play_Button_5_clicked();
    void on_Play_Button_6_clicked();
    void on_Play_Button_7_clicked();
    void on_Play_Button_8_clicked();
    void on_ThresholdSlider_sliderMoved(int position);

public slots:
    // Shows the message box of a status code and waits until it is closed.
    void ErrorMessage(int code);

private:
    // Row actions, by layer number 1 to 8.
    void AddOrRemoveLayer(int layer);
    void AddLayer(int layer);
    // The add step for a file already chosen: checked and added as the next
    // layer, or refused with its box. A file refused for its format that can
    // be converted gets a "Convert…" button in that box (ConvertAndAdd).
    // True when it was added.
    bool AddLayerFile(const QString &path);
    // The add dialog, with the WAV files' filter selected or the sound files'.
    QString BrowseFile(bool soundFiles);
    // A chosen file: a sound file is opened, anything else added.
    void OpenChosenFile(const QString &path);
    // Ctrl+O: the add dialog with the sound files' filter selected.
    void BrowseSoundFile();
    // The open step of a sound file: its layers extracted into a folder the
    // user picks, loaded in place of the loaded ones, its thresholds set.
    bool OpenSoundFile(const QString &path);
    bool AskToReplaceLayers(const QString &path);
    QString ChooseLayerFolder(const QString &soundFilePath);
    void RemoveAllLayers();
    // Asks where to save a converted copy of `source`, converts it (off the
    // GUI thread, with progress and Cancel) and adds it through
    // AddLayerFile(); a copy that is not added is not left on disk. True when
    // it was added.
    bool ConvertAndAdd(const QString &source);
    AudioConversion &Conversion();
    // "Prepare…" for a loaded layer: its dialog, and on Apply the prepared
    // copy saved where the user says and put in place of the layer.
    void PrepareLayer(int layer);
    // "Match Loudness…": every loaded layer prepared to one loudness.
    void MatchLoudness();
    // Puts the file at `path` in place of `layer` through the add step's
    // checks; a refusal shows its box on `parent`. True when it was put.
    bool ReplaceLayerFile(int layer, const QString &path, QWidget *parent);
    void PlayFile(const QString &path);
    void RemoveLayer(int layer);
    void ShowAddedRow(int layer);
    // The layer's name on its row, shortened in the middle when it does not
    // fit, and a tooltip with the name, the path, the duration and the slot.
    void ShowLayerName(int layer, quint32 dataLength);
    void ShowRemovedRow(int layer);
    void SelectLayer(int layer);
    void PlayLayer(int layer);

    // Reads the two remembered folders from the settings store, the first
    // time only.
    void ReadRememberedFolders();

    void ShowThresholds();
    void ShowAvailableSpace();
    // Makes the keyboard's shortcuts and Tab order, what the controls say and
    // the title's state, the first time only.
    void SetUpHelpers();
    // Brings what the controls say (names, descriptions, tooltips) and the
    // title up to date after a change.
    void Refresh();
    void ShowWriteFailure(const WriteReport &report, const SoundJob &job);
    // The box of a status, with `reason` as its informative text.
    void ShowStatus(LayerStatus status, const QString &reason);
    // Shows a box with `details` as its informative text, and a button
    // `action` beside OK when given; true when that button was clicked.
    bool ShowMessage(const StatusMessage &message, const QString &details,
                     const QString &action = QString());

    // A row's widgets, by layer number 1 to 8.
    QLabel *FilenameOf(int layer) const { return filenameOf[layer - 1]; }
    QPushButton *ThresholdButtonOf(int layer) const { return thresholdButtonOf[layer - 1]; }
    QPushButton *AddRemoveButtonOf(int layer) const { return addRemoveButtonOf[layer - 1]; }
    QPushButton *PlayButtonOf(int layer) const { return playButtonOf[layer - 1]; }

    static constexpr int Rows = Limits::LayerCount;

    Ui::QMWindow *ui;
    QString lastFolder;     // where the open-file dialog starts
    QString lastSaveFolder; // where the save dialog starts
    QString saveName;       // the name it proposes: that of the sound file last opened
    bool rememberedFoldersRead = false;
    QLabel *filenameOf[Rows] = {};
    QPushButton *thresholdButtonOf[Rows] = {};
    QPushButton *addRemoveButtonOf[Rows] = {};
    QPushButton *playButtonOf[Rows] = {};
    LayerPlayer *player = nullptr;         // made when a layer is first played
    AudioConversion *conversion = nullptr; // made when a file first needs it
    ControlDescriptions *descriptions = nullptr;
    SoundFileState *soundFileState = nullptr;
};

#endif // QMWINDOW_H
