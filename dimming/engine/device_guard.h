// Holds the device's port open for one exchange and closes it when released or
// destroyed. It does not keep the device alive: a device that is gone is left alone.
#pragma once

#include "dimming/engine/device.h"

#include <QPointer>

class DeviceGuard
{
public:
    explicit DeviceGuard(Device &guarded)
        : device(&guarded)
    {
    }
    ~DeviceGuard() { release(); }
    DeviceGuard(const DeviceGuard &) = delete;
    DeviceGuard &operator=(const DeviceGuard &) = delete;

    void release() noexcept
    {
        if (device)
            device->close();
        device = nullptr;
    }

private:
    QPointer<Device> device;
};
