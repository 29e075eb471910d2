// A pseudo-terminal that stands in for a device which never answers: the program under
// test opens its slave side by name, the test reads what was written on the master side.
#pragma once

#include "tests/dimming/engine/pseudo_terminal.h"

#include <QByteArray>
#include <QString>

#include <chrono>

class SilentDevice
{
public:
    bool isReady() const { return terminal.isValid(); }
    const QString &portName() const { return terminal.slavePath(); }

    // Waits, running the event loop, until one whole line has been written or the time
    // is up; returns the line without its LF, or an empty array on time-out.
    QByteArray takeLine(std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
    // What arrived and has not been taken yet, after running the event loop for a while.
    QByteArray drain(std::chrono::milliseconds settle = std::chrono::milliseconds(50));

private:
    void readAvailable() { pending += terminal.receive(0, 0); }

    PseudoTerminal terminal;
    QByteArray pending;
};
