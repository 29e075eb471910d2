#include "dimming/engine/signal_value.h"

SignalValue::SignalValue(int number)
    : physical(static_cast<double>(number))
{
}

SignalValue::SignalValue(double number)
    : physical(number)
{
}

SignalValue::SignalValue(const QString &text)
    : textual(text.toUtf8())
{
}
