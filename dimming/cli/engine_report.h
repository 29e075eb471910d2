// One report of the engine during an exchange, as its signals carry it.
#pragma once

#include "dimming/engine/signal.h"
#include "dimming/engine/working_engine.h"

#include <QString>
#include <QtNumeric>

struct EngineReport
{
    enum Kind {
        Value,  // informValue
        SignalError,  // informError for one signal
        CommunicationError,  // informError for the exchange
        Timeout,  // informTimeout: a set that was not answered
    };

    Kind kind = Timeout;
    Signal signal = Signal::EMPTY_;
    int raw = -1;
    double physical = qQNaN();
    QString text;  // the value's textual form, or the device's error message
    WorkingEngine::ErrorSignal signalError = WorkingEngine::SignalUnavailable;
    WorkingEngine::ErrorCommunication communicationError = WorkingEngine::ReceiveFailed;
};
