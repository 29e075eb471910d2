// One signal's value in up to three representations, each with its own absent marker.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtNumeric>

struct SignalValue
{
    static constexpr qint32 noRaw = -1;

    SignalValue() = default;
    // A whole number as the physical value.
    explicit SignalValue(int number);
    // A physical value.
    explicit SignalValue(double number);
    // A named value (choice text or lux band), kept as UTF-8.
    explicit SignalValue(const QString &text);

    bool hasRaw() const { return raw != noRaw; }
    bool hasPhysical() const { return !qIsNaN(physical); }
    bool hasTextual() const { return !textual.isEmpty(); }

    qint32 raw = noRaw;  // absent: -1
    double physical = qQNaN();  // absent: NaN
    QByteArray textual;  // absent: empty
};
