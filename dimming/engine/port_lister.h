// Where Device learns which serial ports exist. The system's list comes from
// QSerialPortInfo; tests replace it to present pseudo-terminals as devices.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct PortDescription
{
    QString portName;
    QString description;
    QString manufacturer;
    QString serialNumber;
    QString systemLocation;
    std::optional<quint16> vendorIdentifier;
    std::optional<quint16> productIdentifier;
};

using PortLister = std::function<QList<PortDescription>()>;

// The serial ports as QSerialPortInfo lists them.
QList<PortDescription> systemPorts();

// Ports of these names (each also its system location) that carry the given USB identifiers:
// what a replaced lister presents as connected devices.
QList<PortDescription> devicePorts(const QStringList &names, quint16 vendorId, quint16 productId);

// The lister in use; systemPorts unless replaced.
const PortLister &portLister();

// Replaces the lister; an empty function restores systemPorts.
void setPortLister(PortLister lister);
