#include "slideractions.h"

#include <QAbstractSlider>

SliderActions::SliderActions(QAbstractSlider *slider, QObject *window) : QObject(window)
{
    // actionTriggered comes once per action, with the slider already at the
    // action's position and before its value changes.
    connect(slider, &QAbstractSlider::actionTriggered, this, [slider, window] {
        if (slider->isSliderDown())
            return; // a drag: reported by sliderMoved
        QMetaObject::invokeMethod(window, "on_ThresholdSlider_sliderMoved", Qt::DirectConnection,
                                  Q_ARG(int, slider->sliderPosition()));
    });
}
