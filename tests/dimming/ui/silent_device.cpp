#include "tests/dimming/ui/silent_device.h"

#include <QDeadlineTimer>
#include <QTest>

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
