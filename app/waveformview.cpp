#include "waveformview.h"

#include <QPainter>

#include <algorithm>

WaveformView::WaveformView(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAutoFillBackground(false);
}

QSize WaveformView::sizeHint() const
{
    return QSize(480, 120);
}

void WaveformView::SetColumns(const QVector<Column> &summary)
{
    columns = summary;
    update();
}

void WaveformView::SetTrim(double start, double end, bool shown)
{
    trimStart = qBound(0.0, start, 1.0);
    trimEnd = qBound(trimStart, end, 1.0);
    trimShown = shown;
    update();
}

void WaveformView::SetMessage(const QString &text)
{
    message = text;
    update();
}

void WaveformView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colours = palette();
    const QRect area = rect();
    painter.fillRect(area, colours.color(QPalette::Base));
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (columns.isEmpty()) {
        painter.setPen(colours.color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, message);
        return;
    }

    const int width = area.width();
    const double middle = area.height() / 2.0;
    const double half = middle - 2;
    const qsizetype count = columns.size();
    const QColor wave = colours.color(QPalette::Text);
    const QColor trimmed = colours.color(QPalette::PlaceholderText);
    const int from = int(trimStart * width);
    const int to = int(trimEnd * width);
    if (trimShown) {
        QColor shade = colours.color(QPalette::Highlight);
        shade.setAlpha(48);
        painter.fillRect(QRect(0, 0, from, area.height()), shade);
        painter.fillRect(QRect(to, 0, width - to, area.height()), shade);
    }
    for (int x = 0; x < width; ++x) {
        const qsizetype begin = count * x / width;
        const qsizetype end = std::max(begin + 1, count * (x + 1) / width);
        float low = columns[begin].Min;
        float high = columns[begin].Max;
        for (qsizetype i = begin + 1; i < end; ++i) {
            low = std::min(low, columns[i].Min);
            high = std::max(high, columns[i].Max);
        }
        painter.setPen(trimShown && (x < from || x >= to) ? trimmed : wave);
        const double top = middle - qBound(-1.0f, high, 1.0f) * half;
        const double bottom = std::max(top + 1, middle - qBound(-1.0f, low, 1.0f) * half);
        painter.drawLine(QPointF(x + 0.5, top), QPointF(x + 0.5, bottom));
    }
    if (trimShown) {
        QPen mark(colours.color(QPalette::Highlight));
        mark.setWidth(2);
        painter.setPen(mark);
        painter.drawLine(from, 0, from, area.height());
        painter.drawLine(to, 0, to, area.height());
    }
}
