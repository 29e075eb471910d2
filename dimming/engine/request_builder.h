// Renders the signal get and set requests: one compact JSON text and its LF.
#pragma once

#include "dimming/engine/request_mode.h"
#include "dimming/engine/signal_maps.h"

#include <QByteArray>

// A get request names every signal held; a set request carries each signal's value
// as "textual", else "physical", else "raw", and leaves out a signal that holds none.
// Empty when the writer fails.
QByteArray buildRequest(RequestMode mode, const SignalValues &values);
