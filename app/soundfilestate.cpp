#include "soundfilestate.h"

#include "messagebox.h"

#include "core/layertable.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

SoundFileState::SoundFileState(QWidget *window, QAbstractButton *generate)
    : QObject(window), window(window), generate(generate)
{
    window->installEventFilter(this);
}

SoundFileState::Layers SoundFileState::of(const LayerTable &layers)
{
    Layers held;
    for (int layer = 1; layer <= layers.LayerCount; ++layer) {
        held.Paths << layers.LayerPath[layer - 1];
        held.Thresholds << layers.LayerThreshold[layer];
    }
    return held;
}

void SoundFileState::Saved(const QString &path, const LayerTable &layers)
{
    saved = of(layers);
    window->setWindowFilePath(path);
    // "[*]" stands for the modified marker; one in the name is doubled to
    // show as written.
    QString name = QFileInfo(path).fileName();
    name.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    window->setWindowTitle(tr("%1[*] – %2").arg(name, QStringLiteral("QuelmarR4FileGen")));
    Update(layers);
}

void SoundFileState::Update(const LayerTable &layers)
{
    current = of(layers);
    window->setWindowModified(!window->windowFilePath().isEmpty() && current != saved);
}

bool SoundFileState::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || event->type() != QEvent::Close || !Unsaved())
        return false;
    if (mayClose())
        return false;
    event->ignore();
    return true;
}

bool SoundFileState::mayClose()
{
    QMessageBox box(QMessageBox::Warning, tr("MESSAGE"), QString(),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window);
    SetBoxTexts(box, tr("Save the layers as a sound file before closing?"),
                tr("The loaded layers and their thresholds are not in a .qms file yet; without "
                   "saving they are lost (their WAV files stay)."));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Discard))
        return true;
    if (box.clickedButton() != box.button(QMessageBox::Save))
        return false;
    generate->click();
    return !Unsaved();
}
