#ifndef SCRATCHFOLDER_H
#define SCRATCHFOLDER_H

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A folder for files that one run of qmstool needs only for a while (the
// converted copies of `build --convert`), made in the system's temporary
// folder on first use. It goes, with all it holds, when the object goes, on
// success and on failure alike, and when SIGINT, SIGTERM or SIGHUP ends the
// process while it exists. One at a time.
class ScratchFolder
{
public:
    // Files per folder that a signal can remove: one per layer.
    static constexpr int MaxFiles = 8;

    ScratchFolder() = default;
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // A path for a file called `name` in a subfolder of its own, number
    // `index` (0 to MaxFiles - 1), so that files of the same name do not
    // meet. "" when the folder cannot be made (see ErrorString()).
    QString PathFor(int index, const QString &name);
    QString ErrorString() const { return error; }

private:
    std::unique_ptr<QTemporaryDir> folder;
    QString error;
};

#endif // SCRATCHFOLDER_H
