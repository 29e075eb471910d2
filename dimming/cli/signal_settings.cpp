#include "dimming/cli/signal_settings.h"

#include "dimming/cli/value_text.h"

#include <set>

SettingsReading readSettings(const QStringList &words)
{
    SettingsReading reading;
    std::set<Signal> named;
    for (const QString &word : words) {
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (equals < 0)
            return {{}, QStringLiteral("Expected NAME=VALUE: %1").arg(word)};
        const QString name = word.left(equals);
        const std::optional<Signal> signal = signalByName(name);
        if (!signal)
            return {{}, QStringLiteral("Unknown signal: %1").arg(name)};
        if (!named.insert(*signal).second)
            return {{}, QStringLiteral("Signal named twice: %1").arg(name)};
        const ValueReading value = readValueText(*signal, word.mid(equals + 1));
        if (!value.setting)
            return {{}, value.refusal};
        reading.settings.append(*value.setting);
    }
    return reading;
}
