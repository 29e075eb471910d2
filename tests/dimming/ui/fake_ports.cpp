#include "tests/dimming/ui/fake_ports.h"

#include "contract/device_contract.hpp"
#include "dimming/engine/port_lister.h"

FakePorts::FakePorts(QStringList names)
    : state(std::make_shared<State>())
{
    state->names = std::move(names);
    setPortLister([shared = state] {
        ++shared->requests;
        QList<PortDescription> ports;
        for (const QString &name : shared->names) {
            PortDescription port;
            port.portName = name;
            port.systemLocation = name;
            port.vendorIdentifier = vistrel::contract::vendor_id;
            port.productIdentifier = vistrel::contract::product_id;
            ports.append(port);
        }
        return ports;
    });
}

FakePorts::~FakePorts()
{
    setPortLister({});
}
