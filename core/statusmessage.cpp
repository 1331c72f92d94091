#include "statusmessage.h"

int StatusCode(LayerStatus status)
{
    switch (status) {
    case LayerStatus::NoFileChosen:
        return -1;
    case LayerStatus::CannotOpen:
        return -2;
    case LayerStatus::NoDataChunk:
        return -3;
    case LayerStatus::UnsupportedFormat:
        return -4;
    case LayerStatus::DataLengthOutOfRange:
        return -5;
    case LayerStatus::NameTooLong:
        return -6;
    case LayerStatus::NotEnoughSpace:
        return -7;
    }
    return 0;
}

StatusMessage StatusMessageFor(int code)
{
    switch (code) {
    case -1:
        return {StatusMessage::Critical, "WARNING", "No File Choosen"};
    case -2:
    case -4:
        return {StatusMessage::Critical, "ERROR", "File Error"};
    case -3:
        return {StatusMessage::Critical, "ERROR", "Incomatible file format"};
    case -5:
        return {StatusMessage::Critical, "ERROR", "File too big!"};
    case -6:
        return {StatusMessage::Critical, "ERROR", "Filename is toooo long!"};
    case -7:
        return {StatusMessage::Critical, "ERROR", "Not enough space!"};
    case -8:
        return {StatusMessage::Warning, "MESSAGE", "Clear Complete!"};
    case -9:
        return {StatusMessage::Critical, "ERROR", "Upload has been broken!"};
    case -10:
        return {StatusMessage::Warning, "MESSAGE", "Upload Complete!"};
    default:
        return {StatusMessage::Critical, "ERROR", "Unknown Error"};
    }
}

StatusMessage StatusMessageFor(LayerStatus status)
{
    return StatusMessageFor(StatusCode(status));
}
