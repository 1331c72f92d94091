#ifndef INPUTFILE_H
#define INPUTFILE_H

#include <QByteArray>
#include <QString>

// Where a file lives: its device and inode. Two paths name the same file
// exactly when their identities are equal, whatever links or mounts lead
// there.
struct FileIdentity
{
    quint64 Device = 0;
    quint64 Inode = 0;

    bool operator==(const FileIdentity &other) const
    {
        return Device == other.Device && Inode == other.Inode;
    }
};

// A file opened for reading that is known to be a regular file. Opening
// never blocks: the type is checked before the open (symlinks followed) and
// again on the descriptor itself, so a named pipe, a device or a socket, also
// one swapped in between the two checks, is refused with a plain reason.
// Reads go to explicit offsets; a read error is an error, never zeros.
class InputFile
{
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    bool Open(const QString &path);
    void Close();

    // Why Open() or a read failed, in plain words, e.g. "it is a named pipe
    // (FIFO), not a regular file" or "cannot be read: Input/output error".
    QString ErrorString() const { return error; }

    int Handle() const { return fd; }
    qint64 Size() const { return size; }
    FileIdentity Identity() const { return identity; }

    // Reads up to `length` bytes from `offset`; fewer only at the end of the
    // file. Returns false on a read error.
    bool ReadAt(qint64 offset, qint64 length, QByteArray &bytes);

private:
    int fd = -1;
    qint64 size = 0;
    FileIdentity identity;
    QString error;
};

// The identity of the file at `path` (symlinks followed); false when it
// cannot be looked at.
bool IdentityOf(const QString &path, FileIdentity &identity);

// What kind of file a stat mode describes, for messages: "a named pipe
// (FIFO)", "a folder", "a character device", ...
QString FileKindOf(unsigned mode);

// Why a file of that stat mode is not taken where a regular file must be:
// "it is a folder", "it is a named pipe (FIFO), not a regular file", ...
QString NotRegularReason(unsigned mode);

// The system's text for an errno value, e.g. "No such file or directory".
QString SystemError(int errorNumber);

#endif // INPUTFILE_H
