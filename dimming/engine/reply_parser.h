// Collects the device's replies, one JSON text per line, into value maps (state
// replies) and error maps (error replies). Lines that cannot be read are skipped
// with a debug line and counted, and so are replies that refuse the request.
#pragma once

#include "dimming/engine/signal_maps.h"

#include <QByteArray>
#include <QList>

struct ParsedReplies
{
    QList<SignalValues> values;  // one per state reply, in the order of the replies
    QList<SignalErrors> errors;  // one per error reply, in the order of the replies
    // Error replies that name no signal: the device could not read the request (category
    // "JSON"), or it refused the request as a whole (category "CAN" without a signal code).
    qsizetype refusals = 0;
    // Lines that cannot be read as a reply, whole or in their data.
    qsizetype unreadable = 0;
};

ParsedReplies parseReplies(const QByteArray &received);
