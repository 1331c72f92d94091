#ifndef CLEANUPREGISTRY_H
#define CLEANUPREGISTRY_H

#include <QByteArray>

#include <atomic>
#include <climits>
#include <csignal>

// The temporary files and folders that must not outlive the process: those
// of a sound file or a converted copy being written (OutputFile) and
// qmstool's scratch folder. When SIGINT, SIGTERM or SIGHUP ends the process,
// the handler RemoveTemporaryFilesOnSignals() installs removes every file
// registered here, then every folder, the deepest first. The table is fixed
// and written so that a signal may come at any moment: an entry's path is
// complete before the entry is marked used.
//
// One registry serves the whole process. The libraries are static, so the
// conversion plugin carries a copy of this code, and of the registry, of its
// own; the window hands it the program's registry when it loads it (Use()),
// and the plugin's files are then registered where the program's handler
// looks. (A shared core library would do the same, but the programs would
// need an RPATH to find it, or a private library in the system's library
// folder; they start faster without an RPATH.)
class CleanupRegistry
{
public:
    enum class Kind { File, Folder };
    static constexpr int Entries = 32;

    // The registry of the process: this copy's own, or the one given to Use().
    static CleanupRegistry &Process();
    // Makes Process() give `registry`.
    static void Use(CleanupRegistry *registry);

    // Registers `path`; returns its entry, or -1 when the path is too long or
    // the table full (it is then not removed on a signal).
    int Add(const QByteArray &path, Kind kind);
    // Forgets `entry` (nothing for -1) and sets it to -1.
    void Remove(int &entry);
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

// Makes SIGINT, SIGTERM and SIGHUP remove what the process's registry holds
// before the signal ends the process. Signals that are ignored stay ignored.
// Both programs call it first thing, before anything is registered.
void RemoveTemporaryFilesOnSignals();

#endif // CLEANUPREGISTRY_H
