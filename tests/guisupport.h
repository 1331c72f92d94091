#ifndef GUISUPPORT_H
#define GUISUPPORT_H

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include <cmath>
#include <functional>

// Helpers for the tests that drive the real main window under the offscreen
// platform: an answerer for the modal dialogs the window opens, and the test
// main() that keeps the settings store away from the user's.
namespace GuiSupport {

// What a modal dialog showed when it appeared.
struct SeenDialog
{
    QString className;
    QString title;
    // Message boxes
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString informativeText;
    QMessageBox::StandardButtons buttons;
    QStringList buttonTexts; // every button, in the order of the box's list
    // File dialogs
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QString directory;
    QStringList nameFilters;
    QString selectedNameFilter;
    QString fileName;          // in the name field
    QStringList selectedFiles; // as the dialog opened
};

// Answers the modal dialogs one after another: a repeating timer polls
// QApplication::activeModalWidget() (it keeps firing inside the dialog's own
// event loop) and hands each new dialog to the next queued answer; a popup
// menu (QApplication::activePopupWidget()) is answered as a dialog. A dialog
// that nobody expected is recorded as a problem and closed, so a test fails
// instead of hanging.
class DialogAnswerer : public QObject
{
public:
    using Answer = std::function<void(QWidget *dialog)>;

    DialogAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, [this] { poll(); });
        timer.start(10);
    }

    void then(Answer answer) { answers.enqueue(std::move(answer)); }
    // A progress dialog shows only when its work lasts: it is answered only
    // when an answer is given here for it, and else left alone.
    void thenProgress(Answer answer) { progressAnswer = std::move(answer); }
    int pending() const { return int(answers.size()) + (progressAnswer ? 1 : 0); }

    QList<SeenDialog> seen;
    QStringList problems;

    // Types `path` into a file dialog's name field and presses Enter; then
    // runs `afterAccept` before the dialog's caller gets the path back.
    static Answer chooseFile(const QString &path, std::function<void()> afterAccept = {})
    {
        return [path, afterAccept](QWidget *dialog) {
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!fileDialog || !edit) {
                QTest::qFail("expected a file dialog", __FILE__, __LINE__);
                closeDialog(dialog);
                return;
            }
            edit->setText(path);
            QTest::keyClick(edit, Qt::Key_Return);
            if (fileDialog->isVisible()) {
                QTest::qFail("the file dialog did not take the path", __FILE__, __LINE__);
                fileDialog->reject();
            }
            if (afterAccept)
                afterAccept();
        };
    }

    // Presses Enter in a file dialog's name field, taking the name it
    // suggested.
    static Answer acceptSuggested()
    {
        return [](QWidget *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!qobject_cast<QFileDialog *>(dialog) || !edit) {
                QTest::qFail("expected a file dialog", __FILE__, __LINE__);
                closeDialog(dialog);
                return;
            }
            QTest::keyClick(edit, Qt::Key_Return);
        };
    }

    // Clicks the item of a popup menu that reads `text`.
    static Answer chooseMenuItem(const QString &text)
    {
        return [text](QWidget *popup) {
            auto *menu = qobject_cast<QMenu *>(popup);
            const QList<QAction *> actions = menu ? menu->actions() : QList<QAction *>();
            for (QAction *action : actions) {
                if (action->text() == text && action->isEnabled()) {
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
                    return;
                }
            }
            QTest::qFail(qPrintable("expected a menu with an item " + text), __FILE__, __LINE__);
            closeDialog(popup);
        };
    }

    static Answer cancel()
    {
        return [](QWidget *dialog) { closeDialog(dialog); };
    }

    // Clicks `which` of a message box.
    static Answer press(QMessageBox::StandardButton which = QMessageBox::Ok)
    {
        return [which](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QAbstractButton *button = box ? box->button(which) : nullptr;
            if (!button) {
                QTest::qFail("expected a message box with that button", __FILE__, __LINE__);
                closeDialog(dialog);
                return;
            }
            QTest::mouseClick(button, Qt::LeftButton);
        };
    }

    // Clicks the button of a message box that reads `text`.
    static Answer press(const QString &text)
    {
        return [text](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            const QList<QAbstractButton *> buttons =
                box ? box->buttons() : QList<QAbstractButton *>();
            for (QAbstractButton *button : buttons) {
                if (button->text() == text) {
                    QTest::mouseClick(button, Qt::LeftButton);
                    return;
                }
            }
            QTest::qFail(qPrintable("expected a message box with a button " + text), __FILE__,
                         __LINE__);
            closeDialog(dialog);
        };
    }

private:
    static void closeDialog(QWidget *dialog)
    {
        if (auto *d = qobject_cast<QDialog *>(dialog))
            d->reject();
        else
            dialog->close();
    }

    static SeenDialog describe(QWidget *dialog)
    {
        SeenDialog seen;
        seen.className = QString::fromLatin1(dialog->metaObject()->className());
        seen.title = dialog->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            seen.icon = box->icon();
            seen.text = box->text();
            seen.informativeText = box->informativeText();
            seen.buttons = box->standardButtons();
            for (const QAbstractButton *button : box->buttons())
                seen.buttonTexts << button->text();
        }
        if (auto *fileDialog = qobject_cast<QFileDialog *>(dialog)) {
            seen.acceptMode = fileDialog->acceptMode();
            seen.directory = fileDialog->directory().absolutePath();
            seen.nameFilters = fileDialog->nameFilters();
            seen.selectedNameFilter = fileDialog->selectedNameFilter();
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                seen.fileName = edit->text();
            seen.selectedFiles = fileDialog->selectedFiles();
        }
        return seen;
    }

    void poll()
    {
        // A dialog becomes the active modal widget again when a box it opened
        // (a file dialog's overwrite question) closes: it is answered once.
        QWidget *dialog = QApplication::activePopupWidget();
        if (!dialog)
            dialog = QApplication::activeModalWidget();
        if (!dialog || answered.contains(dialog))
            return;
        Answer answer;
        if (qobject_cast<QProgressDialog *>(dialog)) {
            if (!progressAnswer)
                return;
            std::swap(answer, progressAnswer);
        }
        answered.removeAll(nullptr);
        answered << dialog;
        seen << describe(dialog);
        if (!answer && answers.isEmpty()) {
            problems << QStringLiteral("unexpected %1 \"%2\" \"%3\"")
                            .arg(seen.last().className, seen.last().title, seen.last().text);
            closeDialog(dialog);
            return;
        }
        // Answered from a posted call, not from this timer's handler: Qt does not
        // fire a timer again while its handler runs, and an answer may open a
        // further dialog (a file dialog's overwrite question) that needs one.
        QMetaObject::invokeMethod(
            this,
            [answer = answer ? answer : answers.dequeue(), target = QPointer<QWidget>(dialog)] {
                if (target)
                    answer(target);
            },
            Qt::QueuedConnection);
    }

    QTimer timer;
    QQueue<Answer> answers;
    Answer progressAnswer;
    QList<QPointer<QWidget>> answered; // the dialogs handed out, while they live
};

// The text a label or tooltip shows for `text`: markup is read as such,
// anything else as written.
inline QString ShownText(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QString shown = QTextDocumentFragment::fromHtml(text).toPlainText();
    shown.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return shown;
}

// A dark palette: Adwaita-dark's colours, as the GTK platform theme gives
// them.
inline QPalette DarkPalette()
{
    QPalette dark;
    const QColor text(0xee, 0xee, 0xec);
    const std::pair<QPalette::ColorRole, QColor> colours[] = {
        {QPalette::Window, QColor(0x35, 0x35, 0x35)},
        {QPalette::WindowText, text},
        {QPalette::Base, QColor(0x2d, 0x2d, 0x2d)},
        {QPalette::AlternateBase, QColor(0x32, 0x32, 0x32)},
        {QPalette::Text, text},
        {QPalette::Button, QColor(0x3a, 0x3a, 0x3a)},
        {QPalette::ButtonText, text},
        {QPalette::Light, QColor(0x4a, 0x4a, 0x4a)},
        {QPalette::Midlight, QColor(0x42, 0x42, 0x42)},
        {QPalette::Mid, QColor(0x2a, 0x2a, 0x2a)},
        {QPalette::Dark, QColor(0x1e, 0x1e, 0x1e)},
        {QPalette::Shadow, QColor(0, 0, 0)},
        {QPalette::Highlight, QColor(0x15, 0x53, 0x9e)},
        {QPalette::HighlightedText, QColor(0xff, 0xff, 0xff)},
        {QPalette::ToolTipBase, QColor(0x26, 0x26, 0x26)},
        {QPalette::ToolTipText, text},
    };
    for (const auto &[role, colour] : colours)
        dark.setColor(role, colour);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x91, 0x91, 0x90));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x91, 0x91, 0x90));
    return dark;
}

// Where screenshots() tests save their pictures: the folder in
// QMS_SCREENSHOT_DIR (made when missing) joined with the names' start in
// QMS_SCREENSHOT_PREFIX, "" when no folder is set. QMS_SCREENSHOT_DARK sets
// the dark palette for them.
inline QString ScreenshotPrefix()
{
    const QString folder = qEnvironmentVariable("QMS_SCREENSHOT_DIR");
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return QString();
    if (qEnvironmentVariableIsSet("QMS_SCREENSHOT_DARK"))
        QApplication::setPalette(DarkPalette());
    return folder + QLatin1Char('/') + qEnvironmentVariable("QMS_SCREENSHOT_PREFIX");
}

// The WCAG contrast ratio (1 to 21) between the text drawn in `image` and
// its background: the background is the colour most pixels have, the text
// the one that differs from it the most.
inline double TextContrast(const QImage &image)
{
    const auto luminance = [](QRgb rgb) {
        const auto channel = [](int value) {
            const double c = value / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) +
               0.0722 * channel(qBlue(rgb));
    };
    const auto ratio = [](double a, double b) { return (qMax(a, b) + 0.05) / (qMin(a, b) + 0.05); };
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = qMax(best, ratio(luminance(it.key()), luminance(background)));
    return best;
}

// Waits until every call posted so far has run, with whatever it did (a
// drop's or the command line's deferred opening, and its dialogs): a call
// posted now runs after them, and the test goes on only once they have all
// returned.
inline void RunPostedCalls()
{
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(ran);
}

// A test that needs a process of its own (one where no plugin was loaded
// before it) runs itself again in a new copy of the test program:
//     if (!GuiSupport::InOwnProcess())
//         return GuiSupport::RunInOwnProcess();
// The copy runs the current test function alone.
inline bool InOwnProcess()
{
    return qEnvironmentVariableIsSet("QMS_TEST_OWN_PROCESS");
}

// Starts the copy, with `environment` for it.
inline void
StartOwnProcess(QProcess &process,
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    environment.insert(QStringLiteral("QMS_TEST_OWN_PROCESS"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QCoreApplication::applicationFilePath(),
                  {QString::fromLatin1(QTest::currentTestFunction())});
}

// Starts the copy, with `environment` for it, and fails the test when the
// copy does.
inline void
RunInOwnProcess(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    StartOwnProcess(process, environment);
    QVERIFY(process.waitForFinished(120000));
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             process.readAll().constData());
}

// Points the settings store (and the runtime folder) into `home`, before the
// application object exists, so that no test reads or writes a user's
// settings and tests running side by side do not share a store.
inline void IsolateSettings(const QString &home)
{
    QDir(home).mkpath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QDir(home).filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.toLocal8Bit());
}

inline QString ConfigHome()
{
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
}

} // namespace GuiSupport

// main() of a window test: settings isolated, Qt's own file dialog.
#define QMS_GUI_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QTemporaryDir home;                                                                        \
        if (!home.isValid())                                                                       \
            return 1;                                                                              \
        GuiSupport::IsolateSettings(home.path());                                                  \
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                                   \
        QApplication application(argc, argv);                                                      \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#endif // GUISUPPORT_H
