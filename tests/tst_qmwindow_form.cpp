// The main window as it opens: the form's widgets and properties, the start
// state, the slot list and the message box of every status code.

#include "windowtest.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QImage>
#include <QMetaMethod>
#include <QStyle>

using GuiSupport::DialogAnswerer;

class TestWindowForm : public WindowTest
{
    Q_OBJECT

private slots:
    void settingsStayInTheTestFolder()
    {
        QVERIFY(!GuiSupport::ConfigHome().isEmpty());
        QVERIFY2(QSettings().fileName().startsWith(GuiSupport::ConfigHome()),
                 qPrintable(QSettings().fileName()));
    }

    void applicationIdentity()
    {
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("QuelmarR4FileGen"));
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Quelmar"));
        QVERIFY(!QCoreApplication::organizationDomain().isEmpty());
    }

    void startState()
    {
        driver->checkRows({});
        QVERIFY(!driver->slider()->isVisible());
        QCOMPARE(driver->slider()->value(), 1);
        QCOMPARE(driver->bar()->value(), 100);
        QVERIFY(driver->generateButton()->isEnabled());
        QCOMPARE(Layers.UsedSpace, 0);
        QCOMPARE(Layers.LayerThreshold[1], 1);
        for (int layer = 1; layer <= 8; ++layer) {
            QVERIFY(!driver->thresholdButton(layer)->isChecked());
            QCOMPARE(driver->thresholdButton(layer)->text(), QStringLiteral("1"));
            QCOMPARE(Layers.LayerPath[layer - 1], QString());
            QCOMPARE(Layers.LayerSize[layer - 1], 0);
        }
        QCOMPARE(driver->window->windowTitle(), QStringLiteral("QuelmarR4FileGen"));
        QCOMPARE(driver->window->objectName(), QStringLiteral("QMWindow"));
    }

    void windowHasFixedSize()
    {
        QMWindow &window = *driver->window;
        QCOMPARE(window.size(), QSize(515, 360));
        QCOMPARE(window.minimumSize(), QSize(515, 360));
        QCOMPARE(window.maximumSize(), QSize(515, 360));
        QCOMPARE(window.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(window.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        window.resize(700, 500);
        QCOMPARE(window.size(), QSize(515, 360));
        QCOMPARE(window.layoutDirection(), Qt::LeftToRight);
    }

    void imagesAreCompiledIn_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("launcher") << ":/img/ic_launcher.png" << QSize(96, 96);
        QTest::newRow("play") << ":/img/play.png" << QSize(23, 23);
    }
    void imagesAreCompiledIn()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QCOMPARE(image.size(), size);
        QVERIFY(image.hasAlphaChannel());
    }

    void windowIconIsTheLauncherImage()
    {
        const QIcon icon = driver->window->windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(96, 96)});
    }

    void sliderRange()
    {
        QSlider *slider = driver->slider();
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 126);
        QCOMPARE(slider->orientation(), Qt::Vertical);
        QVERIFY(slider->toolTip().startsWith(QStringLiteral("Adjust the Threshold\n")));
        slider->setValue(127);
        QCOMPARE(slider->value(), 126);
        slider->setValue(-1);
        QCOMPARE(slider->value(), 0);
    }

    void availableSpaceBar()
    {
        QProgressBar *bar = driver->bar();
        QCOMPARE(bar->height(), 10);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QVERIFY(bar->invertedAppearance());
        // The percentage is not drawn: it does not fit a bar 10 pixels high.
        QVERIFY(!bar->isTextVisible());
        auto *caption = driver->find<QLabel>(QStringLiteral("label_11"));
        QVERIFY(caption);
        QCOMPARE(caption->text(), QStringLiteral("Available Space"));
        QCOMPARE(caption->alignment(), Qt::AlignCenter);
    }

    void rowFamilies_data()
    {
        QTest::addColumn<int>("layer");
        for (int layer = 1; layer <= 8; ++layer)
            QTest::addRow("layer %d", layer) << layer;
    }
    void rowFamilies()
    {
        QFETCH(int, layer);
        QPushButton *threshold = driver->thresholdButton(layer);
        QVERIFY(threshold->isCheckable());
        QVERIFY(threshold->isFlat());
        QVERIFY(!threshold->autoExclusive());
        QVERIFY(!threshold->autoDefault());
        QVERIFY(!threshold->isDefault());
        QVERIFY(threshold->toolTip().startsWith(QStringLiteral("Threshold Value of this Layer\n")));

        QLabel *name = driver->filename(layer);
        QCOMPARE(name->minimumSize(), QSize(290, 0));
        QCOMPARE(name->alignment(), Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
        QCOMPARE(name->margin(), 3);
        QCOMPARE(name->indent(), 0);
        QCOMPARE(name->frameShape(), QFrame::NoFrame);
        QCOMPARE(name->textFormat(), Qt::PlainText);

        QPushButton *addRemove = driver->addRemoveButton(layer);
        QCOMPARE(addRemove->text(), QStringLiteral("+"));
        QCOMPARE(addRemove->maximumWidth(), 23);
        QCOMPARE(addRemove->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(addRemove->sizePolicy().horizontalStretch(), 1);
        QVERIFY(!addRemove->autoExclusive());

        QPushButton *play = driver->playButton(layer);
        QCOMPARE(play->text(), QString());
        QVERIFY(!play->icon().isNull());
        QCOMPARE(play->iconSize(), QSize(19, 19));
        QCOMPARE(play->minimumSize(), QSize(23, 23));
        QCOMPARE(play->maximumSize(), QSize(23, 23));
        QCOMPARE(play->toolTip(), QStringLiteral("Play the Waveform"));
        // Every colour comes from the palette of the desktop.
        for (QWidget *control : {static_cast<QWidget *>(threshold), static_cast<QWidget *>(name),
                                 static_cast<QWidget *>(addRemove), static_cast<QWidget *>(play)})
            QCOMPARE(control->palette().resolveMask(), QPalette::ResolveMask(0));
    }

    // Layer 1's row: its own size policy and a threshold in bold.
    void firstRowDiffers_data()
    {
        QTest::addColumn<int>("layer");
        QTest::addColumn<QSizePolicy::Policy>("policy");
        QTest::addColumn<int>("stretch");
        QTest::newRow("layer 1") << 1 << QSizePolicy::Preferred << 6;
        for (int layer = 2; layer <= 8; ++layer)
            QTest::addRow("layer %d", layer) << layer << QSizePolicy::Fixed << 3;
    }
    void firstRowDiffers()
    {
        QFETCH(int, layer);
        QFETCH(QSizePolicy::Policy, policy);
        QFETCH(int, stretch);
        QLabel *name = driver->filename(layer);
        QCOMPARE(name->sizePolicy().horizontalPolicy(), policy);
        QCOMPARE(name->sizePolicy().horizontalStretch(), stretch);
        QCOMPARE(driver->thresholdButton(layer)->font().bold(), layer == 1);
    }

    // Every threshold button, selected or not, reads clearly (WCAG AA,
    // 4.5:1) under a light and a dark palette: measured on the drawn button.
    void thresholdsContrast_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("default") << QApplication::palette();
        QTest::newRow("Adwaita-dark") << GuiSupport::DarkPalette();
    }
    void thresholdsContrast()
    {
        QFETCH(QPalette, palette);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(palette);
        addLayers(3);
        for (int checked = 1; checked <= 2; ++checked) {
            driver->click(driver->thresholdButton(checked));
            driver->thresholdButton(checked)->clearFocus(); // no focus frame drawn
            for (int layer = 1; layer <= 3; ++layer) {
                // The middle of the button: its number, without the frame.
                QPushButton *button = driver->thresholdButton(layer);
                const QRect middle(button->width() * 3 / 10, 3, button->width() * 4 / 10,
                                   button->height() - 6);
                const double ratio = GuiSupport::TextContrast(button->grab(middle).toImage());
                QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("layer %1 (%2 checked): %3:1")
                                                      .arg(layer)
                                                      .arg(checked)
                                                      .arg(ratio)));
            }
        }
        QApplication::setPalette(before);
    }

    // Each control says what it does and for which layer, through the
    // accessibility tree; Tab goes row by row, Enter presses; F1 helps.
    void keyboardAndScreenReader()
    {
        addLayers(3);
        const auto name = [](QWidget *widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        QCOMPARE(name(driver->playButton(2)), QStringLiteral("Play layer 2"));
        QCOMPARE(name(driver->thresholdButton(2)), QStringLiteral("Threshold of layer 2: 43"));
        QCOMPARE(name(driver->addRemoveButton(3)), QStringLiteral("Remove layer 3"));
        QCOMPARE(name(driver->addRemoveButton(4)), QStringLiteral("Add a layer"));
        QCOMPARE(name(driver->bar()), QStringLiteral("Available space: 92 %, 32.7 s free"));
        QVERIFY(!QAccessible::queryAccessibleInterface(driver->thresholdButton(1))
                     ->text(QAccessible::Description)
                     .isEmpty());

        QMWindow *window = driver->window.get();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        driver->thresholdButton(1)->setFocus();
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringLiteral("ThrOfLayer_1 Play_Button_1 ThrOfLayer_2 Play_Button_2 "
                                       "ThrOfLayer_3 Del_Br_Button_3 Play_Button_3 "
                                       "Del_Br_Button_4 GenerateButton ThrOfLayer_1")
                            .split(QLatin1Char(' ')));

        QTest::keyClick(driver->thresholdButton(1), Qt::Key_Return);
        QVERIFY(driver->slider()->isVisible());
        QCOMPARE(name(driver->slider()), QStringLiteral("Threshold of layer 1"));

        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        QTest::keyClick(window, Qt::Key_F1);
        QCOMPARE(driver->dialogs.pending(), 0);
        QVERIFY(driver->dialogs.seen.last().informativeText.contains(QStringLiteral("1 to 126")));
    }

    // --help and --version answer without a window, with no display at all.
    void informationOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");
        QTest::newRow("--help") << QStringList{"--help"} << "Usage: ";
        QTest::newRow("-h after a file") << QStringList{"kick.wav", "-h"} << "--version";
        QTest::newRow("--version") << QStringList{"--version"} << "QuelmarR4FileGen " QMS_VERSION;
    }
    void informationOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(WINDOW_PATH), arguments);
        QVERIFY(program.waitForFinished(30000));
        const QString printed = QString::fromLocal8Bit(program.readAllStandardOutput());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(printed.contains(output), qPrintable(printed));
    }

    void thresholdButtonsFormOneExclusiveGroup()
    {
        auto *group = driver->window->findChild<QButtonGroup *>(QStringLiteral("buttonGroup"));
        QVERIFY(group);
        QVERIFY(group->exclusive());
        QStringList members;
        for (QAbstractButton *button : group->buttons())
            members << button->objectName();
        QCOMPARE(members,
                 QStringList({"ThrOfLayer_8", "ThrOfLayer_2", "ThrOfLayer_1", "ThrOfLayer_4",
                              "ThrOfLayer_7", "ThrOfLayer_3", "ThrOfLayer_5", "ThrOfLayer_6"}));
        driver->thresholdButton(3)->setChecked(true);
        driver->thresholdButton(5)->setChecked(true);
        QVERIFY(!driver->thresholdButton(3)->isChecked());
        QCOMPARE(group->checkedButton(), driver->thresholdButton(5));
    }

    // The grid's members in creation order, which is also the keyboard
    // focus order, and where each one sits.
    void gridOrderAndPositions()
    {
        auto *frame = driver->find<QFrame>(QStringLiteral("frame_7"));
        QVERIFY(frame);
        QStringList created;
        for (QObject *child : frame->children())
            if (child->isWidgetType())
                created << child->objectName();
        const QStringList expected =
            QStringLiteral(
                "Filename_8 ThrOfLayer_8 Play_Button_8 Del_Br_Button_8 Play_Button_7 ThrOfLayer_2 "
                "Filename_2 Del_Br_Button_2 Del_Br_Button_1 Play_Button_1 Play_Button_2 Filename_1 "
                "ThresholdSlider ThrOfLayer_1 Filename_3 Filename_6 ThrOfLayer_4 Del_Br_Button_4 "
                "Del_Br_Button_6 Play_Button_6 Filename_7 ThrOfLayer_7 ThrOfLayer_3 "
                "Del_Br_Button_7 "
                "ThrOfLayer_5 Play_Button_3 Filename_4 Play_Button_4 Del_Br_Button_3 Filename_5 "
                "Del_Br_Button_5 Play_Button_5 ThrOfLayer_6")
                .split(' ');
        QCOMPARE(created, expected);

        auto *grid = qobject_cast<QGridLayout *>(frame->layout());
        QVERIFY(grid);
        QCOMPARE(grid->objectName(), QStringLiteral("gridLayout"));
        QCOMPARE(grid->spacing(), 10);
        auto position = [grid](QWidget *w) {
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(grid->indexOf(w), &row, &column, &rowSpan, &columnSpan);
            return QList<int>{row, column, rowSpan, columnSpan};
        };
        QCOMPARE(position(driver->slider()), QList<int>({0, 0, 8, 1}));
        for (int layer = 1; layer <= 8; ++layer) {
            QCOMPARE(position(driver->thresholdButton(layer)), QList<int>({layer - 1, 1, 1, 1}));
            QCOMPARE(position(driver->filename(layer)), QList<int>({layer - 1, 2, 1, 1}));
            QCOMPARE(position(driver->addRemoveButton(layer)), QList<int>({layer - 1, 3, 1, 1}));
            QCOMPARE(position(driver->playButton(layer)), QList<int>({layer - 1, 4, 1, 1}));
        }
    }

    void layoutSpacingAndMargins_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<QMargins>("margins");
        QTest::newRow("verticalLayout_2") << "centralWidget" << 2 << QMargins(3, 3, 3, 3);
        QTest::newRow("gridLayout") << "frame_7" << 10 << QMargins(11, 11, 11, 11);
        QTest::newRow("horizontalLayout") << "widget" << 6 << QMargins(3, 3, 3, 3);
    }
    void layoutSpacingAndMargins()
    {
        QFETCH(QString, owner);
        QFETCH(int, spacing);
        QFETCH(QMargins, margins);
        QWidget *widget = driver->find(owner);
        QVERIFY(widget && widget->layout());
        QCOMPARE(widget->layout()->objectName(), QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(widget->layout()->spacing(), spacing);
        QCOMPARE(widget->layout()->contentsMargins(), margins);
    }

    void topStripLayoutKeepsStyleBottomMargin()
    {
        QWidget *frame = driver->find(QStringLiteral("frame1"));
        QVERIFY(frame && frame->layout());
        const QMargins margins = frame->layout()->contentsMargins();
        QCOMPARE(margins.left(), 3);
        QCOMPARE(margins.top(), 0);
        QCOMPARE(margins.right(), 3);
        QCOMPARE(margins.bottom(),
                 frame->style()->pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, frame));
    }

    void slotsInDeclaredOrder()
    {
        const QMetaObject *meta = driver->window->metaObject();
        QCOMPARE(meta->className(), "QMWindow");
        const QStringList expected =
            QStringLiteral(
                "on_Del_Br_Button_1_clicked() on_Del_Br_Button_2_clicked() "
                "on_ThrOfLayer_1_clicked() "
                "on_ThrOfLayer_2_clicked() on_Del_Br_Button_3_clicked() on_ThrOfLayer_3_clicked() "
                "on_ThrOfLayer_4_clicked() on_ThrOfLayer_5_clicked() on_ThrOfLayer_6_clicked() "
                "on_ThrOfLayer_7_clicked() on_ThrOfLayer_8_clicked() on_Del_Br_Button_4_clicked() "
                "on_Del_Br_Button_5_clicked() on_Del_Br_Button_6_clicked() "
                "on_Del_Br_Button_7_clicked() on_Del_Br_Button_8_clicked() "
                "on_GenerateButton_clicked() on_Play_Button_1_clicked() on_Play_Button_2_clicked() "
                "on_Play_Button_3_clicked() on_Play_Button_4_clicked() on_Play_Button_5_clicked() "
                "on_Play_Button_6_clicked() on_Play_Button_7_clicked() on_Play_Button_8_clicked() "
                "on_ThresholdSlider_sliderMoved(int) ErrorMessage(int)")
                .split(' ');
        QStringList declared;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            QCOMPARE(method.methodType(), QMetaMethod::Slot);
            declared << QString::fromLatin1(method.methodSignature());
        }
        QCOMPARE(declared, expected);
        QCOMPARE(meta->propertyCount(), meta->propertyOffset());
    }

    void errorMessageBoxes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const auto critical = QMessageBox::Critical;
        const auto warning = QMessageBox::Warning;
        QTest::newRow("-1") << -1 << critical << "WARNING"
                            << "No File Choosen";
        QTest::newRow("-2") << -2 << critical << "ERROR"
                            << "File Error";
        QTest::newRow("-3") << -3 << critical << "ERROR"
                            << "Incomatible file format";
        QTest::newRow("-4") << -4 << critical << "ERROR"
                            << "File Error";
        QTest::newRow("-5") << -5 << critical << "ERROR"
                            << "File too big!";
        QTest::newRow("-6") << -6 << critical << "ERROR"
                            << "Filename is toooo long!";
        QTest::newRow("-7") << -7 << critical << "ERROR"
                            << "Not enough space!";
        QTest::newRow("-8") << -8 << warning << "MESSAGE"
                            << "Clear Complete!";
        QTest::newRow("-9") << -9 << critical << "ERROR"
                            << "Upload has been broken!";
        QTest::newRow("-10") << -10 << warning << "MESSAGE"
                             << "Upload Complete!";
        QTest::newRow("-11") << -11 << critical << "ERROR"
                             << "Unknown Error";
        QTest::newRow("0") << 0 << critical << "ERROR"
                           << "Unknown Error";
        QTest::newRow("1") << 1 << critical << "ERROR"
                           << "Unknown Error";
    }
    void errorMessageBoxes()
    {
        QFETCH(int, code);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QString, title);
        QFETCH(QString, text);
        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        driver->window->ErrorMessage(code);
        QCOMPARE(driver->dialogs.seen.size(), 1);
        const GuiSupport::SeenDialog &box = driver->dialogs.seen.first();
        QCOMPARE(box.icon, icon);
        QCOMPARE(box.title, title);
        QCOMPARE(box.text, text);
        QCOMPARE(box.informativeText, QString());
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

QMS_GUI_TEST_MAIN(TestWindowForm)
#include "tst_qmwindow_form.moc"
