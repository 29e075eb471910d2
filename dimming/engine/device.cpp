#include "dimming/engine/device.h"

#include "dimming/engine/port_lister.h"

#include <QDebug>

Device::Device(QObject *parent) : QObject(parent), chunk(chunkSize, '\0') {}

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
    return port.open(QIODevice::ReadWrite);
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
    return true;
}

bool Device::read(QByteArray &data)
{
    for (;;) {
        const qint64 result = port.read(chunk.data(), chunk.size());
        if (result < 0)
            return false;
        if (result == 0)
            return true;
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
            qDebug() << Qt::hex << "name: " << port.portName << "description " << port.description
                     << "manufacturer " << port.manufacturer << "productIdentifier"
                     << port.productIdentifier.value_or(0) << "serialNumber" << port.serialNumber
                     << "systemLocation " << port.systemLocation << "vendorIdentifier "
                     << port.vendorIdentifier.value_or(0);
        }
    }
    return names;
}
