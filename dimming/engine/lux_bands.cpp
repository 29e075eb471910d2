#include "dimming/engine/lux_bands.h"

// The first band stands for more than 24413 lux, each further one for up to its number.
const std::array<QString, 16> luxBandNames = {
    QStringLiteral("groesser_24413_Lux"),
    QStringLiteral("bis_24413_Lux"),
    QStringLiteral("bis_22193_Lux"),
    QStringLiteral("bis_20176_Lux"),
    QStringLiteral("bis_18342_Lux"),
    QStringLiteral("bis_16647_Lux"),
    QStringLiteral("bis_15158_Lux"),
    QStringLiteral("bis_13780_Lux"),
    QStringLiteral("bis_12527_Lux"),
    QStringLiteral("bis_11388_Lux"),
    QStringLiteral("bis_10353_Lux"),
    QStringLiteral("bis_9412_Lux"),
    QStringLiteral("bis_8556_Lux"),
    QStringLiteral("bis_7778_Lux"),
    QStringLiteral("bis_7071_Lux"),
    QStringLiteral("bis_6428_Lux"),
};
