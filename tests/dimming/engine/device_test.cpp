// The serial device wrapper: port listing by USB identifiers, open, write and read.
#include "dimming/engine/device.h"
#include "dimming/engine/port_lister.h"

#include "pseudo_terminal.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

QStringList debugLines;

void collectDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        debugLines << message;
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
            return QList<PortDescription>{
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

        QCOMPARE(names, (QStringList{"ttyACM1", "ttyACM2"}));
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
        setPortLister([] { return QList<PortDescription>{}; });
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
        PseudoTerminal line;
        QVERIFY(line.isValid());
        Device device;
        device.setPortName(line.slavePath());
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
            received += line.receive(0);
        }
        QCOMPARE(received, request);
    }

    void readDrainsWhatHasArrived()
    {
        PseudoTerminal line;
        QVERIFY(line.isValid());
        Device device;
        device.setPortName(line.slavePath());
        QVERIFY(device.open());

        QByteArray data("kept");
        QVERIFY(device.read(data));
        QCOMPARE(data, QByteArray("kept"));

        QByteArray sent(2500, '\0');
        for (int i = 0; i < sent.size(); ++i)
            sent[i] = static_cast<char>('a' + i % 26);
        QVERIFY(line.send(sent));

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

    void reopenUnderANewName()
    {
        PseudoTerminal first;
        PseudoTerminal second;
        Device device;
        device.setPortName(first.slavePath());
        QVERIFY(device.open());
        device.setPortName(second.slavePath());
        QVERIFY(device.open());
        QVERIFY(device.write("b\n"));
        QByteArray received;
        QTRY_COMPARE_WITH_TIMEOUT(received += second.receive(0), QByteArray("b\n"), 2000);
        QCOMPARE(first.receive(0), QByteArray());
        device.close();
        QVERIFY(!device.isOpen());
    }
};

QTEST_GUILESS_MAIN(DeviceTest)
#include "device_test.moc"
