#include "tests/dimming/ui/silent_device.h"

#include <QDeadlineTimer>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

SilentDevice::SilentDevice()
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0)
        return;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        ::close(master);
        master = -1;
        return;
    }
    slaveName = QString::fromLocal8Bit(::ptsname(master));
}

SilentDevice::~SilentDevice()
{
    if (master >= 0)
        ::close(master);
}

void SilentDevice::readAvailable()
{
    char buffer[4096];
    for (;;) {
        pollfd request{master, POLLIN, 0};
        if (::poll(&request, 1, 0) <= 0 || !(request.revents & POLLIN))
            return;
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        // EIO: no one has the slave side open at the moment.
        if (got <= 0)
            return;
        pending.append(buffer, got);
    }
}

QByteArray SilentDevice::takeLine(std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    for (;;) {
        readAvailable();
        const qsizetype end = pending.indexOf('\n');
        if (end >= 0) {
            QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            return line;
        }
        if (deadline.hasExpired())
            return {};
        QTest::qWait(5);
    }
}

QByteArray SilentDevice::drain(std::chrono::milliseconds settle)
{
    QTest::qWait(int(settle.count()));
    readAvailable();
    QByteArray all;
    all.swap(pending);
    return all;
}
