#include "controldescriptions.h"
#include "ui_qmwindow.h"

#include "core/duration.h"
#include "core/layertable.h"

namespace {

void describe(QWidget *control, const QString &name, const QString &description,
              const QString &toolTip)
{
    // Set only on a change: each change is an event for a screen reader.
    if (control->accessibleName() != name)
        control->setAccessibleName(name);
    if (control->accessibleDescription() != description)
        control->setAccessibleDescription(description);
    if (control->toolTip() != toolTip)
        control->setToolTip(toolTip);
}

} // namespace

ControlDescriptions::ControlDescriptions(Ui::QMWindow &form, QObject *window)
    : QObject(window), ui(form)
{}

void ControlDescriptions::Update(const LayerTable &layers)
{
    for (int layer = 1; layer <= Limits::LayerCount; ++layer)
        describeRow(layers, layer);

    const int selected = layers.SelectedLayer;
    describe(ui.ThresholdSlider, tr("Threshold of layer %1").arg(selected),
             tr("Moves the threshold of the selected layer; the layers around it move along so "
                "that the thresholds keep falling from layer 1 to the last, which stays 1."),
             tr("Adjust the Threshold") + QLatin1Char('\n') +
                 tr("Arrow keys, Page Up and Down, Home and End, the wheel or a drag; the layers "
                    "around move along."));

    const QString space = tr("Available space: %1 %, %2 s free")
                              .arg(AvailableSpacePercent(layers.UsedSpace))
                              .arg(SecondsFree(layers.UsedSpace), 0, 'f', 1);
    describe(ui.AvailableSpace, space,
             tr("%1; %2 of the %3 bytes of the sound file are in use.")
                 .arg(space)
                 .arg(layers.UsedSpace)
                 .arg(Limits::Capacity),
             space);

    describe(ui.GenerateButton, tr("Generate"),
             tr("Saves the layers and their thresholds as one .qms sound file."),
             tr("Save the layers as a .qms sound file (Ctrl+S)"));
}

void ControlDescriptions::describeRow(const LayerTable &layers, int layer)
{
    QPushButton *const thresholds[] = {ui.ThrOfLayer_1, ui.ThrOfLayer_2, ui.ThrOfLayer_3,
                                       ui.ThrOfLayer_4, ui.ThrOfLayer_5, ui.ThrOfLayer_6,
                                       ui.ThrOfLayer_7, ui.ThrOfLayer_8};
    QPushButton *const addRemoves[] = {ui.Del_Br_Button_1, ui.Del_Br_Button_2, ui.Del_Br_Button_3,
                                       ui.Del_Br_Button_4, ui.Del_Br_Button_5, ui.Del_Br_Button_6,
                                       ui.Del_Br_Button_7, ui.Del_Br_Button_8};
    QPushButton *const plays[] = {ui.Play_Button_1, ui.Play_Button_2, ui.Play_Button_3,
                                  ui.Play_Button_4, ui.Play_Button_5, ui.Play_Button_6,
                                  ui.Play_Button_7, ui.Play_Button_8};
    QLabel *const names[] = {ui.Filename_1, ui.Filename_2, ui.Filename_3, ui.Filename_4,
                             ui.Filename_5, ui.Filename_6, ui.Filename_7, ui.Filename_8};
    const int slot = layer - 1;
    const bool loaded = layer <= layers.LayerCount;
    const bool last = layer == layers.LayerCount;
    const QString &name = layers.LayerName[slot];

    const QString rule =
        last ? tr("The last layer's threshold is always 1.")
             : tr("Layer 1 has the highest threshold, 126 at most, and the last layer always 1; "
                  "the player uses them to choose among the layers. Press to change this one "
                  "with the slider: the layers around it move along so that the thresholds "
                  "keep falling.");
    describe(thresholds[slot],
             tr("Threshold of layer %1: %2").arg(layer).arg(layers.LayerThreshold[layer]), rule,
             tr("Threshold Value of this Layer") + QLatin1Char('\n') + rule);

    if (!loaded) {
        describe(addRemoves[slot], tr("Add a layer"),
                 tr("Chooses a WAV file to add as layer %1 (other audio files are offered for "
                    "conversion), or a .qms sound file to open.")
                     .arg(layer),
                 tr("Add a layer: a WAV file, an audio file to convert, or a .qms file to open"));
        describe(names[slot], names[slot]->text(), QString(), QString());
    } else {
        describe(addRemoves[slot], tr("Remove layer %1").arg(layer),
                 last ? tr("Removes layer %1, %2.").arg(layer).arg(name)
                      : tr("Only the last layer can be removed."),
                 last ? tr("Remove layer %1").arg(layer)
                      : tr("Only the last layer can be removed"));
        describe(names[slot], tr("Layer %1: %2").arg(layer).arg(name), QString(),
                 names[slot]->toolTip());
    }
    describe(plays[slot], tr("Play layer %1").arg(layer),
             loaded ? tr("Plays layer %1, %2.").arg(layer).arg(name) : QString(),
             tr("Play the Waveform"));
}
