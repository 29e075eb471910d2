#include "dimming/engine/signal.h"

const std::array<QString, 7> signalNames = {
    QStringLiteral("EMPTY_"),
    QStringLiteral("DI_KL_58xd"),
    QStringLiteral("DI_KL_58xs"),
    QStringLiteral("DI_Display_Nachtdesign"),
    QStringLiteral("DI_KL_58xt"),
    QStringLiteral("LS_Helligkeit_FW"),
    QStringLiteral("RLS_Vorfeldhelligkeit_Boost"),
};

QString signalName(Signal signal)
{
    const auto index = static_cast<qint32>(signal);
    if (index < 0 || index >= static_cast<qint32>(signalNames.size()))
        return QString();
    return signalNames[static_cast<std::size_t>(index)];
}

namespace {
// Registered before main runs, so that any signal carrying a Signal finds its type by name.
[[maybe_unused]] const int signalMetaTypeId = qRegisterMetaType<Signal>("Signal");
}  // namespace
