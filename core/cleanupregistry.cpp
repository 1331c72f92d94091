#include "cleanupregistry.h"

#include <QRandomGenerator>

#include <cstring>
#include <unistd.h>

std::atomic<CleanupRegistry *> CleanupRegistry::current{nullptr};

CleanupRegistry *CleanupRegistry::Process()
{
    return current.load();
}

void CleanupRegistry::Use(CleanupRegistry *registry)
{
    current.store(registry);
}

int CleanupRegistry::Register(const QByteArray &path, Kind kind)
{
    CleanupRegistry *registry = Process();
    if (!registry || path.isEmpty() || path.size() >= PATH_MAX)
        return -1;
    for (int entry = 0; entry < Entries; ++entry) {
        Entry &slot = registry->entries[entry];
        if (slot.used)
            continue;
        slot.kind = kind;
        memcpy(slot.path, path.constData(), size_t(path.size()) + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        slot.used = 1;
        return entry;
    }
    return -1;
}

void CleanupRegistry::Unregister(int &entry)
{
    CleanupRegistry *registry = Process();
    if (registry && entry >= 0 && entry < Entries)
        registry->entries[entry].used = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    entry = -1;
}

void CleanupRegistry::RemoveAll()
{
    for (const Entry &entry : entries) {
        if (entry.used && entry.kind == Kind::File)
            ::unlink(entry.path);
    }
    // A folder's path is longer than its parent's: the longest goes first.
    bool removed[Entries] = {};
    for (;;) {
        int deepest = -1;
        size_t deepestLength = 0;
        for (int i = 0; i < Entries; ++i) {
            const Entry &entry = entries[i];
            if (!entry.used || entry.kind != Kind::Folder || removed[i])
                continue;
            const size_t length = strlen(entry.path);
            if (deepest < 0 || length > deepestLength) {
                deepest = i;
                deepestLength = length;
            }
        }
        if (deepest < 0)
            return;
        ::rmdir(entries[deepest].path);
        removed[deepest] = true;
    }
}

QByteArray TemporarySuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(6, 'x');
    for (char &c : suffix)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return suffix;
}
