// The serial device wrapper: port listing by USB identifiers, open, write and read.
#include "dimming/engine/device.h"
#include "dimming/engine/port_lister.h"

#include "tests/support/pseudo_terminal.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>

namespace {

QStringList debugLines;

void collectDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        debugLines << message;
}

using vistrel::test_support::pseudo_terminal;

QString pathOf(const pseudo_terminal &line)
{
    return QString::fromStdString(line.slave_path());
}

// What the device has written to the line so far.
QByteArray output(pseudo_terminal &line)
{
    return QByteArray::fromStdString(
        line.receive_available(std::chrono::milliseconds(0), std::chrono::milliseconds(50)));
}

PortDescription port(const QString &name, std::optional<quint16> vendor, std::optional<quint16> product)
{
    PortDescription description;
    description.portName = name;
    description.systemLocation = QStringLiteral("/dev/") + name;
    description.vendorIdentifier = vendor;
    description.productIdentifier = product;
    return description;
}

}  // namespace

class DeviceTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setPortLister({});
        qInstallMessageHandler(nullptr);
        debugLines.clear();
    }

    void availablePortsMatchesBothIdentifiers()
    {
        setPortLister([] {
            return QList<PortDescription> {
                port("ttyS0", std::nullopt, std::nullopt),
                port("ttyACM1", 0x0483, 0x5740),
                port("ttyACM0", 0x0483, 0x5741),
                port("ttyUSB0", 0x1a86, 0x5740),
                port("ttyACM2", 0x0483, 0x5740),
            };
        });
        qInstallMessageHandler(collectDebug);
        const QStringList names = Device::availablePorts(0x0483, 0x5740);
        qInstallMessageHandler(nullptr);

        QCOMPARE(names, (QStringList {"ttyACM1", "ttyACM2"}));
        QCOMPARE(debugLines.size(), 5);
        QVERIFY(debugLines[1].startsWith("appending ") && debugLines[1].contains("ttyACM1"));
        QVERIFY(debugLines[4].startsWith("appending ") && debugLines[4].contains("ttyACM2"));
        // Ports that do not match are described, identifiers in hexadecimal.
        QVERIFY(debugLines[0].startsWith("name: ") && debugLines[0].contains("ttyS0"));
        QVERIFY(debugLines[2].contains("productIdentifier 5741"));
        QVERIFY(debugLines[3].contains("vendorIdentifier  1a86"));
    }

    void availablePortsWithoutPorts()
    {
        setPortLister([] { return QList<PortDescription> {}; });
        qInstallMessageHandler(collectDebug);
        QVERIFY(Device::availablePorts(0x0483, 0x5740).isEmpty());
        qInstallMessageHandler(nullptr);
        QVERIFY(debugLines.isEmpty());
    }

    void openWithoutNameFails()
    {
        Device device;
        QVERIFY(!device.open());
        QVERIFY(!device.isOpen());
        QByteArray data;
        QVERIFY(!device.read(data));
        QVERIFY(!device.write("x"));
    }

    void writeReachesTheLine()
    {
        pseudo_terminal line;
        Device device;
        device.setPortName(pathOf(line));
        QVERIFY(device.open());
        QVERIFY(device.write(QByteArray()));
        const QByteArray request = "{\"category\":\"CAN\"}\n";
        QVERIFY(device.write(request));
        // The port writes from its buffer when the event loop runs.
        QByteArray received;
        QElapsedTimer clock;
        clock.start();
        while (received.size() < request.size() && clock.elapsed() < 2000) {
            QTest::qWait(10);
            received += output(line);
        }
        QCOMPARE(received, request);
    }

    // An exchange may close the port before the event loop has run again (a wait of 0 ms):
    // the request must be on the line by then, not left in the port's buffer.
    void writtenBytesLeaveBeforeTheClose()
    {
        pseudo_terminal line;
        Device device;
        device.setPortName(pathOf(line));
        QVERIFY(device.open());
        const QByteArray request = "{\"category\":\"CAN\",\"case\":\"set\"}\n";
        QVERIFY(device.write(request));
        device.close();
        QCOMPARE(QByteArray::fromStdString(
                     line.receive(static_cast<std::size_t>(request.size()), std::chrono::milliseconds(500))),
            request);
    }

    void readDrainsWhatHasArrived()
    {
        pseudo_terminal line;
        Device device;
        device.setPortName(pathOf(line));
        QVERIFY(device.open());

        QByteArray data("kept");
        QVERIFY(device.read(data));
        QCOMPARE(data, QByteArray("kept"));

        QByteArray sent(2500, '\0');
        for (int i = 0; i < sent.size(); ++i)
            sent[i] = static_cast<char>('a' + i % 26);
        line.send(sent);

        // One read takes everything the port holds, more than one chunk of it.
        QByteArray received;
        qsizetype largestRead = 0;
        QElapsedTimer clock;
        clock.start();
        while (received.size() < sent.size() && clock.elapsed() < 2000) {
            QTest::qWait(20);
            const qsizetype before = received.size();
            QVERIFY(device.read(received));
            largestRead = std::max(largestRead, received.size() - before);
        }
        QCOMPARE(received, sent);
        QVERIFY2(largestRead > Device::chunkSize, qPrintable(QString::number(largestRead)));
    }

    // A line that hangs up reads nothing from then on; the read tells of the failure, and
    // the next open starts clean.
    void readFailsOnceTheLineHasHungUp()
    {
        pseudo_terminal line;
        Device device;
        device.setPortName(pathOf(line));
        QVERIFY(device.open());
        line.hang_up();
        QTest::qWait(50);
        QByteArray data;
        QVERIFY(!device.read(data));
        QVERIFY(data.isEmpty());

        pseudo_terminal next;
        device.setPortName(pathOf(next));
        QVERIFY(device.open());
        next.send(std::string_view("ok\n"));
        QTest::qWait(50);
        QVERIFY(device.read(data));
        QCOMPARE(data, QByteArray("ok\n"));
    }

    void reopenUnderANewName()
    {
        pseudo_terminal first;
        pseudo_terminal second;
        Device device;
        device.setPortName(pathOf(first));
        QVERIFY(device.open());
        device.setPortName(pathOf(second));
        QVERIFY(device.open());
        QVERIFY(device.write("b\n"));
        QByteArray received;
        QTRY_COMPARE_WITH_TIMEOUT(received += output(second), QByteArray("b\n"), 2000);
        QCOMPARE(output(first), QByteArray());
        device.close();
        QVERIFY(!device.isOpen());
    }

    // While one device holds the port, a second one (or any program that locks the port) is
    // refused, the holder goes on, and the terminal stays exclusive; the close frees it.
    void secondOpenIsRefusedWhileThePortIsHeld()
    {
        pseudo_terminal line;
        const int watcher = ::open(line.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(watcher >= 0);
        const auto exclusive = [watcher] {
            int value = 0;
            return ::ioctl(watcher, TIOCGEXCL, &value) == 0 && value != 0;
        };
        const auto lockable = [&line] {
            const int fd = ::open(line.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
            if (fd >= 0)
                ::close(fd);
            return locked;
        };

        Device holder;
        holder.setPortName(pathOf(line));
        QVERIFY(holder.open());
        QVERIFY(exclusive());
        QVERIFY(!lockable());

        Device second;
        second.setPortName(pathOf(line));
        QVERIFY(!second.open());
        QVERIFY(!second.isOpen());
        // The refused open left the holder's claim as it was.
        QVERIFY(exclusive());
        QVERIFY(!lockable());
        QVERIFY(holder.isOpen());
        QVERIFY(holder.write("x\n"));
        QByteArray received;
        QElapsedTimer clock;
        clock.start();
        while (received.size() < 2 && clock.elapsed() < 2000) {
            QTest::qWait(10);
            received += output(line);
        }
        QCOMPARE(received, QByteArray("x\n"));

        holder.close();
        QVERIFY(!exclusive());
        QVERIFY(second.open());
        second.close();
        QVERIFY(lockable());
        ::close(watcher);
    }

    void openIsRefusedWhileAnotherProgramLocksThePort()
    {
        pseudo_terminal line;
        const int other = ::open(line.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(other >= 0);
        QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), 0);
        Device device;
        device.setPortName(pathOf(line));
        QVERIFY(!device.open());
        ::close(other);
        QVERIFY(device.open());
    }
};

QTEST_GUILESS_MAIN(DeviceTest)
#include "device_test.moc"
