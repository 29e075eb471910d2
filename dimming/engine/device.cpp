#include "dimming/engine/device.h"

#include "dimming/engine/port_claim.h"
#include "dimming/engine/port_lister.h"

#include <QDebug>

Device::Device(QObject *parent)
    : QObject(parent)
    , chunk(chunkSize, '\0')
{
}

void Device::setPortName(const QString &portName)
{
    name = portName;
}

bool Device::open()
{
    if (port.isOpen())
        port.close();
    port.setPortName(name);
    // No line settings: the device is a USB virtual serial port.
    if (!port.open(QIODevice::ReadWrite))
        return false;
    if (claimPortOrClose(port))
        return true;
    qDebug() << "port in use by another program:" << name;
    return false;
}

void Device::close() noexcept
{
    try {
        port.close();
    } catch (...) {
    }
}

bool Device::write(const QByteArray &data)
{
    qsizetype written = 0;
    while (written < data.size()) {
        const qint64 result = port.write(data.constData() + written, data.size() - written);
        // A call that takes nothing would never finish the loop; it counts as a failure.
        if (result <= 0)
            return false;
        written += static_cast<qsizetype>(result);
    }
    // The port writes from its buffer only when the event loop runs again; closing it before
    // that (an exchange with a wait of 0 ms) drops what is still there. The bytes go to the
    // system now, without waiting; what it cannot take at once still leaves from the buffer.
    port.flush();
    return true;
}

bool Device::lineFailed() const
{
    // Once the device has hung up, the port reads nothing and never fails a read call: the
    // failure shows only in its error, which the next open clears.
    const QSerialPort::SerialPortError error = port.error();
    return error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
}

bool Device::read(QByteArray &data)
{
    for (;;) {
        const qint64 result = port.read(chunk.data(), chunk.size());
        if (result < 0)
            return false;
        if (result == 0)
            return !lineFailed();
        data.append(chunk.constData(), static_cast<qsizetype>(result));
    }
}

QStringList Device::availablePorts(quint16 vendorId, quint16 productId)
{
    QStringList names;
    const auto ports = portLister()();
    for (const PortDescription &port : ports) {
        if (port.vendorIdentifier == vendorId && port.productIdentifier == productId) {
            names.append(port.portName);
            qDebug() << "appending " << port.portName;
        } else {
            qDebug() << Qt::hex << "name: " << port.portName << "description " << port.description << "manufacturer "
                     << port.manufacturer << "productIdentifier" << port.productIdentifier.value_or(0) << "serialNumber"
                     << port.serialNumber << "systemLocation " << port.systemLocation << "vendorIdentifier "
                     << port.vendorIdentifier.value_or(0);
        }
    }
    return names;
}
