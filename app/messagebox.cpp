#include "messagebox.h"

#include "core/layertable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

// About 65 characters of the box's font: a sentence or two per line.
constexpr int TextWidthInCharacters = 65;

} // namespace

void SetBoxTexts(QMessageBox &box, const QString &text, const QString &details)
{
    // The formats are set before the texts, so that no text is ever taken
    // for markup, not even for a moment.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (details.isEmpty())
        return;
    box.setInformativeText(QStringLiteral(" "));
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
    if (!label) {
        box.setInformativeText(Qt::convertFromPlainText(details, Qt::WhiteSpaceNormal));
        return;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(details);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * TextWidthInCharacters);
}

bool ShowMessageBox(QWidget *parent, const StatusMessage &message, const QString &details,
                    const QString &action)
{
    const QStringList actions = action.isEmpty() ? QStringList() : QStringList{action};
    return ShowMessageBoxChoice(parent, message, details, actions) == 0;
}

int ShowMessageBoxChoice(QWidget *parent, const StatusMessage &message, const QString &details,
                         const QStringList &actions)
{
    const QMessageBox::Icon icon =
        message.kind == StatusMessage::Warning ? QMessageBox::Warning : QMessageBox::Critical;
    QMessageBox box(icon, QString::fromUtf8(message.title), QString(), QMessageBox::Ok, parent);
    SetBoxTexts(box, QString::fromUtf8(message.text), details);
    box.setDefaultButton(QMessageBox::NoButton);
    QList<QPushButton *> buttons;
    for (const QString &action : actions)
        buttons << box.addButton(action, QMessageBox::AcceptRole);
    box.setEscapeButton(QMessageBox::Ok); // Escape leaves things as they are
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

QString RefusalDetails(const QString &path, const QString &reason)
{
    const QString name = LayerNameOf(path);
    if (name.isEmpty())
        return reason;
    return QCoreApplication::translate("QMWindow", "%1: %2").arg(name, reason);
}
