#ifndef WAVEFORMVIEW_H
#define WAVEFORMVIEW_H

#include "conversion/audioconversioninterface.h"

#include <QVector>
#include <QWidget>

// A sound's waveform: for each pixel column, a line from the lowest to the
// highest sample under it, from the columns of a waveform summary (more
// columns than pixels are folded together). What a trim would take off each
// end is shaded and its edge marked. Palette colours only, so that it reads
// under any theme.
class WaveformView : public QWidget
{
    Q_OBJECT

public:
    using Column = AudioConversionInterface::Column;

    explicit WaveformView(QWidget *parent = nullptr);

    void SetColumns(const QVector<Column> &columns);
    const QVector<Column> &Columns() const { return columns; }
    // The trim's edges as shares of the sound's length (0 to 1); shown or not.
    void SetTrim(double start, double end, bool shown);
    // What shows while there is no waveform: that it is being read, or why not.
    void SetMessage(const QString &message);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVector<Column> columns;
    QString message;
    double trimStart = 0;
    double trimEnd = 1;
    bool trimShown = false;
};

#endif // WAVEFORMVIEW_H
