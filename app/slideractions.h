#ifndef SLIDERACTIONS_H
#define SLIDERACTIONS_H

#include <QObject>

class QAbstractSlider;

// Makes every other way of moving the threshold slider change the threshold
// as a drag to the same place does: the arrow keys, Page Up and Down, Home
// and End, the mouse wheel and a click in the groove run the window's
// sliderMoved rule (on_ThresholdSlider_sliderMoved) at the position the
// action leaves, and the threshold buttons show the result.
//
// The rule runs once per action, at its final position: a key press (or one
// of its auto-repeats), a wheel notch and a click in the groove are each one
// step the user takes, as each mouse move of a drag is one. A Page Down
// applies the rule at the page's end, not at every value on the way, which
// gives the same thresholds (the rule depends only on where the slider
// stops) without pushing the neighbours through every intermediate value.
// Changes made by the window itself (selecting a layer sets the slider to
// its threshold) are not actions and change no threshold; neither is a drag,
// which sliderMoved already reports.
class SliderActions : public QObject
{
public:
    // `window` owns the sliderMoved slot and this object.
    SliderActions(QAbstractSlider *slider, QObject *window);
};

#endif // SLIDERACTIONS_H
