// The text forms of the six signals' values, as get prints them and set reads them: "Init" or
// "Fehler", the physical number (signals 1, 2, 4 and 5), 0 or 1 (the night design), a lux
// band's name (the brightness boost), and "unavailable" for a signal the device does not serve.
#pragma once

#include "dimming/cli/signal_setting.h"
#include "dimming/engine/signal.h"

#include <QString>

#include <array>
#include <optional>

extern const QString unavailableText;

// The six signals, in signal order.
extern const std::array<Signal, 6> dimmingSignals;

// The signal of that catalogue name, if any.
std::optional<Signal> signalByName(const QString &name);

// What a received value means, read as the dialog reads it (named value first, then the
// number); nothing when the dialog would not take it as a value of the signal.
std::optional<QString> receivedValueText(Signal signal, int raw, double physical, const QString &textual);

// The setting that the text names for the signal, or the one line that refuses it.
struct ValueReading
{
    std::optional<SignalSetting> setting;
    QString refusal;
};
ValueReading readValueText(Signal signal, const QString &text);
