#include "tests/dimming/ui/fake_ports.h"

#include "contract/device_contract.hpp"
#include "dimming/engine/port_lister.h"

FakePorts::FakePorts(QStringList names)
    : state(std::make_shared<State>())
{
    state->names = std::move(names);
    setPortLister([shared = state] {
        ++shared->requests;
        return devicePorts(shared->names, vistrel::contract::vendor_id, vistrel::contract::product_id);
    });
}

FakePorts::~FakePorts()
{
    setPortLister({});
}
