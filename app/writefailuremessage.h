#ifndef WRITEFAILUREMESSAGE_H
#define WRITEFAILUREMESSAGE_H

#include "core/statusmessage.h"

#include <QString>

#include <optional>

struct SoundJob;
struct WriteReport;

// What the user is told when a sound file was not written: the message box
// of the status table that fits (kind, title, text) and a sentence that
// names the file and the reason.
struct WriteFailureMessage
{
    StatusMessage box;
    QString details;
};

// The message for the writer's outcome `report` on `job`, or nothing when
// there is nothing to tell: the file was written, or no path was chosen (a
// cancelled save dialog).
std::optional<WriteFailureMessage> WriteFailureMessageFor(const WriteReport &report,
                                                          const SoundJob &job);

#endif // WRITEFAILUREMESSAGE_H
