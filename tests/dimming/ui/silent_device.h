// A pseudo-terminal that stands in for a device which never answers by itself: the program
// under test opens its slave side by name, the test reads what was written on the master
// side and may write a reply of its own.
#pragma once

#include "tests/support/pseudo_terminal.hpp"

#include <QByteArray>
#include <QString>

#include <chrono>

class SilentDevice
{
public:
    bool isReady() const { return !terminal.slave_path().empty(); }
    QString portName() const { return QString::fromStdString(terminal.slave_path()); }

    // Waits, running the event loop, until one whole line has been written or the time
    // is up; returns the line without its LF, or an empty array on time-out.
    QByteArray takeLine(std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
    // What arrived and has not been taken yet, after running the event loop for a while.
    QByteArray drain(std::chrono::milliseconds settle = std::chrono::milliseconds(50));
    // Writes bytes as if the device had sent them.
    void answer(const QByteArray &bytes) { terminal.send(bytes); }

private:
    void readAvailable()
    {
        pending += QByteArray::fromStdString(
            terminal.receive_available(std::chrono::milliseconds(0), std::chrono::milliseconds(0)));
    }

    vistrel::test_support::pseudo_terminal terminal;
    QByteArray pending;
};
