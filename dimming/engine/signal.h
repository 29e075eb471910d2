// The dimming signals the device simulates towards the screen, and their names.
#pragma once

#include <QDataStream>
#include <QMetaType>
#include <QString>

#include <array>

// A signal's number is the code by which the device protocol names it.
enum class Signal : qint32 {
    EMPTY_ = 0,
    DI_KL_58xd = 1,
    DI_KL_58xs = 2,
    DI_Display_Nachtdesign = 3,
    DI_KL_58xt = 4,
    LS_Helligkeit_FW = 5,
    RLS_Vorfeldhelligkeit_Boost = 6,
};

Q_DECLARE_TYPEINFO(Signal, Q_RELOCATABLE_TYPE);
Q_DECLARE_METATYPE(Signal)

// Names indexed by signal number, "EMPTY_" first.
extern const std::array<QString, 7> signalNames;

// The name of a signal; an empty string for numbers outside the table.
QString signalName(Signal signal);

// A signal travels in a data stream as one signed 32-bit integer, by QDataStream's
// operators for enumerations.
