#ifndef STATUSMESSAGE_H
#define STATUSMESSAGE_H

// The message box a status code is shown with: the WAV reader's -1 to -6,
// the capacity refusal -7, and a few codes kept for compatibility.
struct StatusMessage
{
    enum Kind { Critical, Warning };
    Kind kind;
    const char *title;
    const char *text;
};

StatusMessage StatusMessageFor(int code);

#endif // STATUSMESSAGE_H
