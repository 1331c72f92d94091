#ifndef SCRATCHFOLDER_H
#define SCRATCHFOLDER_H

#include "core/limits.h"

#include <QString>

// A folder for files that one run of qmstool needs only for a while (the
// converted copies of `build --convert`), made on first use in $TMPDIR, or
// in /tmp when that names no folder, and never through a link that
// PlantedLinkOnPath() refuses. It goes, with all it holds, when the object goes, on
// success and on failure alike; and when a signal ends the process, the
// process's CleanupRegistry removes it (registered before it is made).
class ScratchFolder
{
public:
    // Files a signal can remove: one per layer.
    static constexpr int MaxFiles = Limits::LayerCount;

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
    // An entry of the process's CleanupRegistry.
    struct Registered
    {
        int entry = -1;
    };

    bool makeRoot();

    QString root;
    Registered rootEntry;
    Registered subfolders[MaxFiles];
    Registered files[MaxFiles];
    QString error;
};

#endif // SCRATCHFOLDER_H
