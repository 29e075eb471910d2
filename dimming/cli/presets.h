// The four presets of the dialog's Quick Settings, by their command-line names, with the
// values the dialog sends for them (from its start state, where the error preset keeps the
// night design off and the darkest lux band).
#pragma once

#include "dimming/cli/signal_setting.h"

#include <QString>
#include <QStringList>

#include <optional>

// "init", "error", "day-max", "night-max".
extern const QStringList presetNames;

std::optional<SignalSettings> presetSettings(const QString &name);

// What the dialog holds when it starts, before anything is sent: "Init" for signals 1, 2, 4
// and 5, the night design off, the darkest band (the values of the init preset). A get names
// every signal held.
SignalSettings startSettings();
