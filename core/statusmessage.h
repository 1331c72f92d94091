#ifndef STATUSMESSAGE_H
#define STATUSMESSAGE_H

#include "layercheck.h"

// The window's numeric code of a status, -1 to -7: what ErrorMessage()
// takes, what qmstool check prints, and what a refused addition leaves in
// the layer table's slot.
int StatusCode(LayerStatus status);

// The message box a status code is shown with: the refusals of a layer, -1
// to -7, and -8 to -10, which the window still knows though nothing
// produces them. Any other code gets "Unknown Error".
struct StatusMessage
{
    enum Kind { Critical, Warning };
    Kind kind;
    const char *title;
    const char *text;
};

StatusMessage StatusMessageFor(int code);
StatusMessage StatusMessageFor(LayerStatus status);

#endif // STATUSMESSAGE_H
