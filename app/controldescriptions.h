#ifndef CONTROLDESCRIPTIONS_H
#define CONTROLDESCRIPTIONS_H

#include <QObject>

struct LayerTable;

namespace Ui {
class QMWindow;
}

// What each control of the window says it is and does, for a screen reader
// (accessible name and description) and under the mouse (tooltip), for its
// layer and as things stand: "Play layer 2", "Threshold of layer 2: 43",
// "Remove layer 3", "Add a layer", "Available space: 62 %, 22.1 s free".
// The form's own tooltips stay first where it gives one. Update() is called
// whenever a row, a threshold or the space in use changes.
class ControlDescriptions : public QObject
{
public:
    ControlDescriptions(Ui::QMWindow &form, QObject *window);

    void Update(const LayerTable &layers);

private:
    void describeRow(const LayerTable &layers, int layer);

    Ui::QMWindow &ui;
};

#endif // CONTROLDESCRIPTIONS_H
