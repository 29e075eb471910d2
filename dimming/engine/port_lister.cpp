#include "dimming/engine/port_lister.h"

#include <QSerialPortInfo>

namespace {
PortLister &currentLister()
{
    static PortLister lister = systemPorts;
    return lister;
}
}  // namespace

QList<PortDescription> systemPorts()
{
    QList<PortDescription> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        PortDescription port;
        port.portName = info.portName();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        port.systemLocation = info.systemLocation();
        if (info.hasVendorIdentifier())
            port.vendorIdentifier = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productIdentifier = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

QList<PortDescription> devicePorts(const QStringList &names, quint16 vendorId, quint16 productId)
{
    QList<PortDescription> ports;
    for (const QString &name : names) {
        PortDescription port;
        port.portName = name;
        port.systemLocation = name;
        port.vendorIdentifier = vendorId;
        port.productIdentifier = productId;
        ports.append(port);
    }
    return ports;
}

const PortLister &portLister()
{
    return currentLister();
}

void setPortLister(PortLister lister)
{
    currentLister() = lister ? std::move(lister) : PortLister(systemPorts);
}
