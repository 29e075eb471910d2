#include "dimming/cli/environment_ports.h"

#include "contract/device_contract.hpp"
#include "dimming/engine/port_lister.h"

#include <QDir>
#include <QStringList>

namespace {

void presentAsDevices(const QStringList &names)
{
    setPortLister([names] { return devicePorts(names, vistrel::contract::vendor_id, vistrel::contract::product_id); });
}

}  // namespace

void usePortsFromEnvironment()
{
    if (!qEnvironmentVariableIsSet("VISTREL_DIMMING_PORTS"))
        return;
    presentAsDevices(qEnvironmentVariable("VISTREL_DIMMING_PORTS").split(QDir::listSeparator(), Qt::SkipEmptyParts));
}

void useOnlyPort(const QString &name)
{
    presentAsDevices({name});
}
