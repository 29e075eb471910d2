#include "dimming/cli/presets.h"

#include "dimming/engine/texts.h"

const QStringList presetNames = {
    QStringLiteral("init"), QStringLiteral("error"), QStringLiteral("day-max"), QStringLiteral("night-max")};

namespace {
constexpr int bandInit = 15;  // "bis_6428_Lux"
constexpr int bandDayMax = 0;  // "groesser_24413_Lux"

// Signals 1, 2, 4 and 5 set to one named value.
SignalSettings namedPreset(const QString &choice)
{
    return {
        {Signal::DI_KL_58xd, choice},
        {Signal::DI_KL_58xs, choice},
        {Signal::DI_Display_Nachtdesign, 0},
        {Signal::DI_KL_58xt, choice},
        {Signal::LS_Helligkeit_FW, choice},
        {Signal::RLS_Vorfeldhelligkeit_Boost, bandInit},
    };
}
}  // namespace

SignalSettings startSettings()
{
    return namedPreset(choiceInit);
}

std::optional<SignalSettings> presetSettings(const QString &name)
{
    if (name == presetNames[0])
        return namedPreset(choiceInit);
    if (name == presetNames[1])
        return namedPreset(choiceError);
    if (name == presetNames[2]) {
        return SignalSettings {
            {Signal::DI_KL_58xd, 253},
            {Signal::DI_KL_58xs, 0},
            {Signal::DI_Display_Nachtdesign, 0},
            {Signal::DI_KL_58xt, 0},
            {Signal::LS_Helligkeit_FW, 6126},
            {Signal::RLS_Vorfeldhelligkeit_Boost, bandDayMax},
        };
    }
    if (name == presetNames[3]) {
        return SignalSettings {
            {Signal::DI_KL_58xd, 100},
            {Signal::DI_KL_58xs, 100},
            {Signal::DI_Display_Nachtdesign, 1},
            {Signal::DI_KL_58xt, 100},
            {Signal::LS_Helligkeit_FW, 0},
            {Signal::RLS_Vorfeldhelligkeit_Boost, bandInit},
        };
    }
    return std::nullopt;
}
