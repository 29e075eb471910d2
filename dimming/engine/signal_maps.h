// What one reply of the device yields: the values of a state reply, or the device
// error of an error reply, each keyed by signal and ordered by signal number.
#pragma once

#include "dimming/engine/signal.h"
#include "dimming/engine/signal_value.h"

#include <QByteArray>
#include <QtGlobal>

#include <map>

using SignalValues = std::map<Signal, SignalValue>;

struct SignalError
{
    qint32 number = -1;  // -1: the reply named no number
    QByteArray message;  // the device's text, escapes kept as they arrived
};

using SignalErrors = std::map<Signal, SignalError>;
