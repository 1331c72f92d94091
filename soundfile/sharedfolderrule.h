#ifndef SHAREDFOLDERRULE_H
#define SHAREDFOLDERRULE_H

#include <QString>

// The kernel's protected_symlinks rule, kept whether or not it is switched
// on, for every component of a path: in a sticky, world-writable folder
// (such as /tmp) a symbolic link is followed only when it belongs to the
// folder's owner or to this process's user. Another user's link there could
// send a file or folder that this program writes anywhere that user chooses.
//
// Follows `path` one component at a time as the kernel would, and the
// targets of its symbolic links in the same way. Returns why it must not be
// followed ("/tmp/s/evil is a symbolic link that another user placed in the
// shared folder /tmp/s; it is not followed"), or "" when it may. A
// component that does not exist ends the walk: nothing past it can lead
// elsewhere, and whatever then uses the path says why it fails.
QString PlantedLinkOnPath(const QString &path);

// Makes the folder `path`, and every missing folder on the way to it, never
// through a link that PlantedLinkOnPath() refuses (looked at before each
// folder is made and once more at the end). False, with the reason in
// `error` naming the folder and giving the system's words, when it cannot.
bool MakeFolder(const QString &path, QString &error);

#endif // SHAREDFOLDERRULE_H
