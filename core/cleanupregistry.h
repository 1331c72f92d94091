#ifndef CLEANUPREGISTRY_H
#define CLEANUPREGISTRY_H

#include <QByteArray>

#include <atomic>
#include <climits>
#include <csignal>

// The temporary files and folders that must not outlive the process: those
// of a sound file or a converted copy being written (OutputFile) and
// qmstool's scratch folder. When SIGINT, SIGTERM or SIGHUP ends the process,
// the handler that RemoveTemporaryFilesOnSignals() installs removes every
// file registered here, then every folder, the deepest first. The table is
// fixed and written so that a signal may come at any moment: an entry's path
// is complete before the entry is marked used.
//
// There is one registry in the process, made by RemoveTemporaryFilesOnSignals()
// (in a file of its own, so that only a program that calls it carries one).
// The libraries are static: the conversion plugin carries a copy of this
// code but no registry, and the window hands it the program's when it loads
// it (Use()), so the plugin's files are registered where the program's
// handler looks. (A shared core library would give the plugin the program's
// registry by itself, but the programs would then need an RPATH to find it,
// or a private library in the system's library folder; they start faster
// without an RPATH.) Where there is no registry nothing is registered: no
// handler would remove it.
class CleanupRegistry
{
public:
    enum class Kind { File, Folder };
    static constexpr int Entries = 32;

    // The process's registry; nullptr until there is one.
    static CleanupRegistry *Process();
    // Makes Process() give `registry`.
    static void Use(CleanupRegistry *registry);

    // Registers `path` with the process's registry; returns its entry, or -1
    // when there is no registry, the path is too long or the table full.
    static int Register(const QByteArray &path, Kind kind);
    // Forgets `entry` (nothing for -1) and sets it to -1.
    static void Unregister(int &entry);

    // Removes every registered file, then every folder, the deepest first.
    // Safe in a signal handler.
    void RemoveAll();

private:
    struct Entry
    {
        volatile sig_atomic_t used = 0;
        Kind kind = Kind::File;
        char path[PATH_MAX] = {};
    };
    Entry entries[Entries];

    static std::atomic<CleanupRegistry *> current;
};

// Six random letters and digits, to make the name of a temporary file or
// folder unique.
QByteArray TemporarySuffix();

// Makes the process's registry and has SIGINT, SIGTERM and SIGHUP remove
// what it holds before the signal ends the process. Signals that are ignored
// stay ignored. Both programs call it first thing.
void RemoveTemporaryFilesOnSignals();

#endif // CLEANUPREGISTRY_H
