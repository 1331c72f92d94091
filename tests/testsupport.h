#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <QtGlobal>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Helpers shared by the tests: canonical WAV files and a debug-output capture.
namespace TestSupport {

// A canonical 44-byte header for 44100 Hz, 16-bit, mono PCM with `dataLength`
// in its data chunk.
inline QByteArray waveHeader(quint32 dataLength)
{
    QByteArray h(44, '\0');
    char *p = h.data();
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataLength, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);     // PCM
    qToLittleEndian<quint16>(1, p + 22);     // mono
    qToLittleEndian<quint32>(44100, p + 24); // sample rate
    qToLittleEndian<quint32>(88200, p + 28); // byte rate
    qToLittleEndian<quint16>(2, p + 32);     // block align
    qToLittleEndian<quint16>(16, p + 34);    // bits per sample
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataLength, p + 40);
    return h;
}

// Sample bytes that differ from one position and one seed to the next, so a
// misplaced or shifted slot shows.
inline QByteArray samplePattern(qint64 length, int seed)
{
    QByteArray samples(length, Qt::Uninitialized);
    for (qint64 i = 0; i < length; ++i)
        samples[i] = char((i * 7 + seed * 31 + (i >> 8)) & 0xFF);
    return samples;
}

// `bytes` with `patch` written over them at `offset`.
inline QByteArray patched(QByteArray bytes, int offset, const QByteArray &patch)
{
    bytes.replace(offset, patch.size(), patch);
    return bytes;
}

inline QByteArray le16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

inline QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// A sound file with its random tag (bytes 32 to 35) zeroed, for comparing
// everything else.
inline QByteArray withoutTag(QByteArray bytes)
{
    if (bytes.size() >= 36)
        bytes.replace(32, 4, QByteArray(4, '\0'));
    return bytes;
}

// Everything in `folder`, hidden and special files included: a stray
// temporary file shows here.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Every file under `folder` with its type and size ("shared/out.qms l 40"),
// symlinks not followed: a replaced, added or removed file shows here.
inline QStringList tree(const QString &folder)
{
    QStringList listed;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat info = {};
        ::lstat(QFile::encodeName(path).constData(), &info);
        const char type = S_ISREG(info.st_mode)    ? 'f'
                          : S_ISDIR(info.st_mode)  ? 'd'
                          : S_ISLNK(info.st_mode)  ? 'l'
                          : S_ISFIFO(info.st_mode) ? 'p'
                                                   : 's';
        listed << QStringLiteral("%1 %2 %3")
                      .arg(path.mid(folder.size() + 1))
                      .arg(QLatin1Char(type))
                      .arg(qint64(info.st_size));
    }
    listed.sort();
    return listed;
}

inline bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

// A Unix socket bound at `path`; the socket file stays when the socket closes.
inline bool makeSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || size_t(name.size()) >= sizeof address.sun_path)
        return false;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The bytes of a WAV file with a canonical header and `sampleBytes` of
// samples (all `dataLength` that its data length field says when -1).
inline QByteArray waveFile(quint32 dataLength, qint64 sampleBytes = -1, int seed = 1)
{
    return waveHeader(dataLength) + samplePattern(sampleBytes < 0 ? dataLength : sampleBytes, seed);
}

// Writes waveFile() to `path`. Returns the samples written.
inline QByteArray writeWave(const QString &path, quint32 dataLength, qint64 sampleBytes = -1,
                            int seed = 1)
{
    const QByteArray file = waveFile(dataLength, sampleBytes, seed);
    writeFile(path, file);
    return file.mid(44);
}

// `environment` with the faults of faultshim.cpp at `shim` switched on:
// `faults` are NAME=VALUE.
inline QProcessEnvironment withFaults(QProcessEnvironment environment, const QString &shim,
                                      const QStringList &faults)
{
    environment.insert(QStringLiteral("LD_PRELOAD"), shim);
    // A sanitizer runtime otherwise insists on being loaded first.
    QStringList asan{environment.value(QStringLiteral("ASAN_OPTIONS"))};
    asan << QStringLiteral("verify_asan_link_order=0");
    asan.removeAll(QString());
    environment.insert(QStringLiteral("ASAN_OPTIONS"), asan.join(QLatin1Char(':')));
    for (const QString &fault : faults)
        environment.insert(fault.section(QLatin1Char('='), 0, 0),
                           fault.section(QLatin1Char('='), 1));
    return environment;
}

// Runs `program` to its end, its output kept; its exit code, or -1.
inline int run(const QString &program, const QStringList &arguments, QByteArray *out = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    if (out)
        *out = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A FAT ("vfat") or exFAT ("exfat") file system, made in an image file in a
// folder and mounted through FUSE at its "mnt" while the object lives: the
// file systems of SD cards and USB sticks, without hard links, O_TMPFILE or
// a rename that refuses to replace. (The kernel here may have no vfat
// module; mount.exfat-fuse wants a block device, so exFAT goes through a
// loop device.)
class FuseMount
{
public:
    FuseMount() = default;
    FuseMount(const FuseMount &) = delete;
    FuseMount &operator=(const FuseMount &) = delete;
    ~FuseMount()
    {
        if (mounted)
            run(QStringLiteral("umount"), {point});
        if (!loop.isEmpty())
            run(QStringLiteral("losetup"), {QStringLiteral("-d"), loop});
    }

    // "" once mounted, else why not.
    QString Mount(const QString &kind, const QString &folder)
    {
        if (::geteuid() != 0)
            return QStringLiteral("mounting the %1 image needs root").arg(kind);
        const QString image = folder + QStringLiteral("/") + kind + QStringLiteral(".img");
        point = folder + QStringLiteral("/mnt");
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(16 << 20) || !QDir().mkdir(point))
            return QStringLiteral("no room for an image in %1").arg(folder);
        file.close();
        if (run(QStringLiteral("mkfs.") + kind, {image}) != 0)
            return QStringLiteral("mkfs.%1 is missing or failed").arg(kind);
        if (kind == QLatin1String("vfat")) {
            if (run(QStringLiteral("fusefat"),
                    {QStringLiteral("-o"), QStringLiteral("rw+"), image, point}) != 0)
                return QStringLiteral("fusefat cannot mount the image");
        } else {
            QByteArray device;
            if (run(QStringLiteral("losetup"),
                    {QStringLiteral("-f"), QStringLiteral("--show"), image}, &device) != 0)
                return QStringLiteral("no loop device for the exFAT image");
            loop = QString::fromLocal8Bit(device.trimmed());
            if (run(QStringLiteral("mount.exfat-fuse"), {loop, point}) != 0)
                return QStringLiteral("mount.exfat-fuse cannot mount the image");
        }
        struct stat inside = {};
        struct stat outside = {};
        ::stat(QFile::encodeName(point).constData(), &inside);
        ::stat(QFile::encodeName(folder).constData(), &outside);
        mounted = inside.st_dev != outside.st_dev;
        return mounted ? QString() : QStringLiteral("the %1 image did not mount").arg(kind);
    }

    QString Path() const { return point; }

private:
    QString point;
    QString loop;
    bool mounted = false;
};

// Collects the debug lines written while it lives.
class DebugCapture
{
public:
    DebugCapture() : previous(qInstallMessageHandler(&DebugCapture::handler)) { current() = this; }
    ~DebugCapture()
    {
        qInstallMessageHandler(previous);
        current() = nullptr;
    }
    QStringList lines;

private:
    static DebugCapture *&current()
    {
        static DebugCapture *capture = nullptr;
        return capture;
    }
    static void handler(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg && current())
            current()->lines << message;
    }
    QtMessageHandler previous;
};

} // namespace TestSupport

#endif // TESTSUPPORT_H
