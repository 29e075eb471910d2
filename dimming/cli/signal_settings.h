// The NAME=VALUE words of set, read into the settings to send. Every word is checked before
// anything is sent; the first that cannot be sent refuses the whole set with one line.
#pragma once

#include "dimming/cli/signal_setting.h"

#include <QString>
#include <QStringList>

struct SettingsReading
{
    SignalSettings settings;  // in the order of the words
    QString refusal;  // empty when every word was taken
};

SettingsReading readSettings(const QStringList &words);
