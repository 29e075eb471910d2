// Where Device learns which serial ports exist. The system's list comes from
// QSerialPortInfo; tests replace it to present pseudo-terminals as devices.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct PortDescription {
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

// The lister in use; systemPorts unless replaced.
const PortLister &portLister();

// Replaces the lister; an empty function restores systemPorts.
void setPortLister(PortLister lister);
