// One value to send for one signal, in the form the dialog stores it in the engine: a whole
// number (the night design flag, a lux band's position, a preset's number), a physical
// number, or a named value ("Init", "Fehler").
#pragma once

#include "dimming/engine/signal.h"

#include <QList>
#include <QString>

#include <variant>

struct SignalSetting
{
    Signal signal = Signal::EMPTY_;
    std::variant<int, double, QString> value;
};

using SignalSettings = QList<SignalSetting>;
