// A pseudo-terminal that stands in for a device which never answers: the program under
// test opens its slave side by name, the test reads what was written on the master side.
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

class SilentDevice
{
public:
    SilentDevice();
    ~SilentDevice();

    SilentDevice(const SilentDevice &) = delete;
    SilentDevice &operator=(const SilentDevice &) = delete;

    bool isReady() const { return master >= 0; }
    const QString &portName() const { return slaveName; }

    // Waits, running the event loop, until one whole line has been written or the time
    // is up; returns the line without its LF, or an empty array on time-out.
    QByteArray takeLine(std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
    // What arrived and has not been taken yet, after running the event loop for a while.
    QByteArray drain(std::chrono::milliseconds settle = std::chrono::milliseconds(50));

private:
    void readAvailable();

    int master = -1;
    QString slaveName;
    QByteArray pending;
};
