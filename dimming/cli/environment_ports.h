// The ports the program presents as the connected devices in place of the system's USB
// identity search.
#pragma once

#include <QString>

// For tests: VISTREL_DIMMING_PORTS, when set, names the ports of the connected devices
// (separated as PATH is). Set but empty, it means that no device is connected.
void usePortsFromEnvironment();

// A port named with -c is the only one: when it cannot be opened, the search that follows
// finds it alone and the command fails, instead of going on with another device.
void useOnlyPort(const QString &name);
