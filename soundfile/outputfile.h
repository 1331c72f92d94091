#ifndef OUTPUTFILE_H
#define OUTPUTFILE_H

#include "wav/inputfile.h"

#include <QByteArray>
#include <QString>

// A file written in full beside its final place and only then put there, so
// that whatever stood at the path before stays untouched until the new file
// is complete and on disk.
//
// Open() decides what the path names: symlinks are followed, except one that
// PlantedLinkOnPath() refuses, in any component of the path; a path that
// names anything but a regular file (a folder, a named pipe, a device, a
// socket) is refused. The data goes to an unnamed file in the target's
// folder (O_TMPFILE), or, where the file system has none, to a short hidden
// name there, registered with the process's CleanupRegistry so that a signal
// does not leave it behind. Commit() syncs the data to the disk and then
// links or renames the file into place; any failure on the way keeps the old
// file and removes the new one.
//
// With Existing::Keep nothing that stands at the path is ever replaced: the
// file is linked there, or moved there by a rename that refuses to replace
// (RENAME_NOREPLACE). A file system with neither (FAT or exFAT through FUSE)
// gets a copy: open(O_CREAT | O_EXCL) makes the file only where nothing
// stands, and the synced bytes go into it through its own descriptor, so no
// other file can receive them; a copy that fails is removed while the name
// still leads to it.
class OutputFile
{
public:
    // What Commit() does when a file already stands at the path.
    enum class Existing { Replace, Keep };

    explicit OutputFile(const QString &path, Existing existing = Existing::Replace);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    bool Open();
    bool Write(const char *data, qint64 size);
    bool Write(const QByteArray &bytes) { return Write(bytes.constData(), bytes.size()); }
    bool Commit();
    // Drops what was written; the path keeps what it held.
    void Cancel();

    // Why the last step failed, in plain words ("its folder /x does not
    // exist", "No space left on device").
    QString ErrorString() const { return error; }

    // The file Commit() would replace, when one exists (after Open()).
    bool ReplacesExisting() const { return exists; }
    FileIdentity ExistingIdentity() const { return existingIdentity; }
    // The path that receives the file: the given one with symlinks followed.
    QString TargetPath() const { return target; }
    qint64 BytesWritten() const { return written; }

private:
    bool resolveTarget();
    bool checkFolder();
    bool createTemporary();
    bool putInPlace();
    // Gives an unnamed file a hidden name beside the target.
    bool nameTemporary();
    // Moves the named temporary file to `targetName`, where nothing stands.
    bool moveToFreeName(const QByteArray &targetName);
    // Makes `name` where nothing stands and copies the bytes written into it,
    // synced; 0, or the errno why not. The new file is registered in `slot`
    // while it is kept.
    int copyInto(const QByteArray &name, int &slot);
    bool cannotPut(int reason);
    bool fail(const QString &reason);

    QString path;
    Existing existing;
    QString target;
    QString folder;
    bool exists = false;
    unsigned existingMode = 0;
    unsigned permissions = 0; // of the new file
    FileIdentity existingIdentity;
    int fd = -1;
    QByteArray temporaryName; // a named temporary file, when there is one
    int pendingSlot = -1;
    qint64 written = 0;
    QString error;
};

#endif // OUTPUTFILE_H
