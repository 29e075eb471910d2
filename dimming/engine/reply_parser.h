// Collects the device's replies, one JSON text per line, into value maps (state
// replies) and error maps (error replies). Lines that cannot be read are skipped
// with a debug line.
#pragma once

#include "dimming/engine/signal_maps.h"

#include <QByteArray>
#include <QList>

struct ParsedReplies {
    QList<SignalValues> values;  // one per state reply, in the order of the replies
    QList<SignalErrors> errors;  // one per error reply, in the order of the replies
};

ParsedReplies parseReplies(const QByteArray &received);
