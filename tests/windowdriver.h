#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include "guisupport.h"

#include "app/qmwindow.h"
#include "core/layertable.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStringList>
#include <QTest>

#include <memory>

// One shown main window and the answerer for its dialogs, with the moves a
// user makes: clicking visible buttons, choosing files, dragging the slider.
class WindowDriver
{
public:
    WindowDriver() : window(std::make_unique<QMWindow>())
    {
        window->show();
        exposed = QTest::qWaitForWindowExposed(window.get());
    }

    std::unique_ptr<QMWindow> window;
    GuiSupport::DialogAnswerer dialogs;
    bool exposed = false;

    template <class T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QLabel *filename(int layer) const { return find<QLabel>(row("Filename_", layer)); }
    QPushButton *thresholdButton(int layer) const
    {
        return find<QPushButton>(row("ThrOfLayer_", layer));
    }
    QPushButton *addRemoveButton(int layer) const
    {
        return find<QPushButton>(row("Del_Br_Button_", layer));
    }
    QPushButton *playButton(int layer) const
    {
        return find<QPushButton>(row("Play_Button_", layer));
    }
    QSlider *slider() const { return find<QSlider>(QStringLiteral("ThresholdSlider")); }
    QProgressBar *bar() const { return find<QProgressBar>(QStringLiteral("AvailableSpace")); }
    QPushButton *generateButton() const
    {
        return find<QPushButton>(QStringLiteral("GenerateButton"));
    }

    // Checks that every dialog came as expected and none is still awaited.
    void checkDialogsSettled() const
    {
        QVERIFY2(dialogs.problems.isEmpty(), qPrintable(dialogs.problems.join('\n')));
        QCOMPARE(dialogs.pending(), 0);
    }

    // Clicks a button that the user can see.
    void click(QAbstractButton *button)
    {
        QVERIFY(button);
        QVERIFY2(button->isVisible(), qPrintable(button->objectName() + " is hidden"));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Clicks `button` and gives the dialogs it opens these answers, in order.
    void click(QAbstractButton *button, const QList<GuiSupport::DialogAnswerer::Answer> &answers)
    {
        for (const GuiSupport::DialogAnswerer::Answer &answer : answers)
            dialogs.then(answer);
        click(button);
        QCOMPARE(dialogs.pending(), 0);
    }

    // Adds the WAV file at `path` through the "+" of the first empty row.
    void addLayer(const QString &path)
    {
        click(addRemoveButton(Layers.LayerCount + 1),
              {GuiSupport::DialogAnswerer::chooseFile(path)});
    }

    void generate(const QList<GuiSupport::DialogAnswerer::Answer> &answers)
    {
        click(generateButton(), answers);
    }

    // Removes the last layer through its "X".
    void removeLastLayer() { click(addRemoveButton(Layers.LayerCount)); }

    // Drags the slider's handle to `position`.
    void drag(int position)
    {
        QVERIFY(slider()->isVisible());
        slider()->setSliderDown(true);
        slider()->setSliderPosition(position);
        slider()->setSliderDown(false);
    }

    // The texts of the eight threshold buttons, layer 1 first.
    QStringList thresholdTexts() const
    {
        QStringList texts;
        for (int layer = 1; layer <= 8; ++layer)
            texts << thresholdButton(layer)->text();
        return texts;
    }

    // Checks every row against the row states for the loaded layers `names`.
    void checkRows(const QStringList &names) const
    {
        const int n = int(names.size());
        QCOMPARE(Layers.LayerCount, n);
        for (int k = 1; k <= 8; ++k) {
            const QByteArray where = "row " + QByteArray::number(k);
            if (k <= n) {
                QVERIFY2(filename(k)->isVisible(), where);
                QCOMPARE(filename(k)->text(), names[k - 1]);
                QVERIFY2(addRemoveButton(k)->isVisible(), where);
                QCOMPARE(addRemoveButton(k)->text(), QStringLiteral("X"));
                QCOMPARE(addRemoveButton(k)->isEnabled(), k == n);
                QVERIFY2(playButton(k)->isVisible(), where);
                QCOMPARE(thresholdButton(k)->isVisible(), n >= 2);
            } else if (k == n + 1) {
                QVERIFY2(filename(k)->isVisible(), where);
                QCOMPARE(filename(k)->text(),
                         k == 1 ? QStringLiteral("Create a Layer") : QStringLiteral("Add a Layer"));
                QVERIFY2(addRemoveButton(k)->isVisible(), where);
                QCOMPARE(addRemoveButton(k)->text(), QStringLiteral("+"));
                QVERIFY2(addRemoveButton(k)->isEnabled(), where);
                QVERIFY2(!playButton(k)->isVisible(), where);
                QVERIFY2(!thresholdButton(k)->isVisible(), where);
            } else {
                QVERIFY2(!filename(k)->isVisible(), where);
                QVERIFY2(!addRemoveButton(k)->isVisible(), where);
                QVERIFY2(!playButton(k)->isVisible(), where);
                QVERIFY2(!thresholdButton(k)->isVisible(), where);
            }
        }
        QCOMPARE(generateButton()->isVisible(), n >= 1);
    }

private:
    static QString row(const char *family, int layer)
    {
        return QString::fromLatin1(family) + QString::number(layer);
    }
};

#endif // WINDOWDRIVER_H
