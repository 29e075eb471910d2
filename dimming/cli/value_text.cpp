#include "dimming/cli/value_text.h"

#include "dimming/engine/lux_bands.h"
#include "dimming/engine/signal_value.h"
#include "dimming/engine/texts.h"

#include <QLocale>
#include <QRegularExpression>
#include <QtNumeric>

#include <cmath>

const QString unavailableText = QStringLiteral("unavailable");

const std::array<Signal, 6> dimmingSignals = {Signal::DI_KL_58xd, Signal::DI_KL_58xs, Signal::DI_Display_Nachtdesign,
    Signal::DI_KL_58xt, Signal::LS_Helligkeit_FW, Signal::RLS_Vorfeldhelligkeit_Boost};

namespace {

// The highest number of a signal with a number, as the dialog's slider and spin box allow it;
// all start at 0.
std::optional<int> numberMaximum(Signal signal)
{
    switch (signal) {
    case Signal::DI_KL_58xd:
        return 253;
    case Signal::DI_KL_58xs:
    case Signal::DI_KL_58xt:
        return 100;
    case Signal::LS_Helligkeit_FW:
        return 6126;
    default:
        return std::nullopt;
    }
}

bool isNamedValue(const QString &text)
{
    return text == choiceInit || text == choiceError;
}

std::optional<int> bandPosition(const QString &name)
{
    for (std::size_t band = 0; band < luxBandNames.size(); ++band) {
        if (luxBandNames[band] == name)
            return static_cast<int>(band);
    }
    return std::nullopt;
}

QString outOfRange(Signal signal, int maximum, const QString &text)
{
    return QStringLiteral("Value out of range for %1 (0 to %2): %3").arg(signalName(signal)).arg(maximum).arg(text);
}

QString invalidValue(Signal signal, const QString &text)
{
    return QStringLiteral("Invalid value for %1: %2").arg(signalName(signal), text);
}

}  // namespace

std::optional<Signal> signalByName(const QString &name)
{
    for (Signal signal : dimmingSignals) {
        if (signalName(signal) == name)
            return signal;
    }
    return std::nullopt;
}

std::optional<QString> receivedValueText(Signal signal, int raw, double physical, const QString &textual)
{
    if (!textual.isEmpty()) {
        switch (signal) {
        case Signal::DI_KL_58xd:
        case Signal::DI_KL_58xs:
        case Signal::DI_KL_58xt:
        case Signal::LS_Helligkeit_FW:
            if (isNamedValue(textual))
                return textual;
            return std::nullopt;
        case Signal::RLS_Vorfeldhelligkeit_Boost:
            if (bandPosition(textual))
                return textual;
            return std::nullopt;
        default:
            return std::nullopt;
        }
    }
    if (qIsNaN(physical))
        return std::nullopt;
    switch (signal) {
    case Signal::DI_KL_58xd:
    case Signal::DI_KL_58xs:
    case Signal::DI_KL_58xt:
    case Signal::LS_Helligkeit_FW:
        // The shortest text that reads back as the same number.
        return QString::number(physical, 'g', QLocale::FloatingPointShortest);
    case Signal::DI_Display_Nachtdesign: {
        // As the dialog reads it: the raw flag, else the physical value.
        const bool on = raw != SignalValue::noRaw ? raw != 0 : physical != 0.0;
        return on ? QStringLiteral("1") : QStringLiteral("0");
    }
    default:
        // A lux band is accepted by name only.
        return std::nullopt;
    }
}

ValueReading readValueText(Signal signal, const QString &text)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression decimalNumber(
        QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][+-]?[0-9]+)?$"));

    if (text == unavailableText)
        return {std::nullopt, QStringLiteral("Cannot set %1 to unavailable.").arg(signalName(signal))};

    if (signal == Signal::DI_Display_Nachtdesign || signal == Signal::RLS_Vorfeldhelligkeit_Boost) {
        const int maximum = signal == Signal::DI_Display_Nachtdesign ? 1 : int(luxBandNames.size()) - 1;
        if (signal == Signal::RLS_Vorfeldhelligkeit_Boost) {
            if (const auto band = bandPosition(text))
                return {SignalSetting {signal, *band}, QString()};
        }
        if (!wholeNumber.match(text).hasMatch())
            return {std::nullopt, invalidValue(signal, text)};
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number > maximum)
            return {std::nullopt, outOfRange(signal, maximum, text)};
        return {SignalSetting {signal, number}, QString()};
    }

    if (isNamedValue(text))
        return {SignalSetting {signal, text}, QString()};
    const int maximum = numberMaximum(signal).value_or(0);
    if (!decimalNumber.match(text).hasMatch())
        return {std::nullopt, invalidValue(signal, text)};
    bool ok = false;
    double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < 0.0 || number > maximum)
        return {std::nullopt, outOfRange(signal, maximum, text)};
    if (number == 0.0)
        number = 0.0;  // no negative zero on the wire
    return {SignalSetting {signal, number}, QString()};
}
